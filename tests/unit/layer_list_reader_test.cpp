#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "render/layer_list.h"
#include "render/shaders.h"
#include "shell/demo_clock.h"

namespace {

std::string dataFile(const char* name) { return std::string(VELKARN_TEST_DATA) + "/render/" + name; }

LayerReadResult readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return readLayerGroups(in);
}

LayerReadResult readText(const std::string& text) {
    std::istringstream in(text);
    return readLayerGroups(in);
}

// A fake loader that records what it was asked for and hands out increasing names.
std::vector<std::string> loadedNames;
unsigned int fakeLoader(const char* fileName) {
    loadedNames.emplace_back(fileName);
    return 100u + static_cast<unsigned int>(loadedNames.size());
}

class LayerListReader : public ::testing::Test {
protected:
    void SetUp() override {
        loadedNames.clear();
        overlayProgram = 11;
        blurProgram = 12;
        multiplyProgram = 13;
        negativeProgram = 14;
        replaceProgram = 15;
    }
    // The global lists and the clock are put back after every test, passed or failed.
    void TearDown() override {
        overlayProgram = blurProgram = multiplyProgram = negativeProgram = replaceProgram = 0;
        blendLayers = savedLayers_;
        activeLayers = savedActive_;
        demoClock.time = savedTime_;
    }

private:
    const BlendLayerList savedLayers_ = blendLayers;
    const ActiveLayerList savedActive_ = activeLayers;
    const float savedTime_ = demoClock.time;
};

TEST_F(LayerListReader, TwoGroupsAndTheirTimeWindows) {
    const LayerReadResult read = readFile(dataFile("layers_two_groups.dat"));
    ASSERT_EQ(read.status, LayerReadStatus::Ok);
    BlendLayerList list;
    appendBlendLayers(read.groups, &fakeLoader, list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].start, 10.0f);
    EXPECT_EQ(list[0].end, 20.0f);
    EXPECT_EQ(list[0].texture, 101u);
    EXPECT_EQ(list[0].program, multiplyProgram);
    EXPECT_EQ(list[1].texture, 0u);  // image "0": no texture, and the effect is ignored
    EXPECT_EQ(list[1].program, 0u);
    EXPECT_EQ(loadedNames, std::vector<std::string>{"dat/black.jpg"});

    ActiveLayerList active;
    collectActiveLayersAt(list, 17.0f, active);
    ASSERT_EQ(active.size(), 2u);
    EXPECT_EQ(active[0].texture, 101u);  // file order
    EXPECT_EQ(active[1].texture, 0u);
    active.clear();
    collectActiveLayersAt(list, 20.0f, active);  // end is strict
    ASSERT_EQ(active.size(), 1u);
    EXPECT_EQ(active[0].program, 0u);
    active.clear();
    collectActiveLayersAt(list, 10.0f, active);  // start is strict
    EXPECT_TRUE(active.empty());
}

TEST_F(LayerListReader, ShippedListIsWellFormedAndUsesEveryEffect) {
    const LayerReadResult read = readFile(std::string(VELKARN_SOURCE_DIR) + "/dat/p-blend.dat");
    ASSERT_EQ(read.status, LayerReadStatus::Ok) << read.message;
    EXPECT_TRUE(read.warnings.empty()) << read.warnings.front();
    ASSERT_GE(read.groups.size(), 5u);
    bool used[6] = {};
    for (const LayerGroup& group : read.groups) {
        const EffectKind kind = effectKindFromName(group.effect);
        EXPECT_NE(kind, EffectKind::None) << group.effect;
        used[static_cast<int>(kind)] = true;
        EXPECT_LT(parseLayerTime(group.start), parseLayerTime(group.end));
        EXPECT_EQ(group.image.rfind("dat/", 0), 0u) << group.image;
    }
    for (int kind = 1; kind < 6; ++kind) EXPECT_TRUE(used[kind]) << kind;
}

TEST_F(LayerListReader, HeaderOnlyEmptyAndMissingLinesGiveNoGroups) {
    EXPECT_TRUE(readFile(dataFile("layers_header_only.dat")).groups.empty());
    EXPECT_TRUE(readText("").groups.empty());
    EXPECT_TRUE(readText("header\n").groups.empty());
    EXPECT_TRUE(readText("header\n   \n\t\n").groups.empty());
}

TEST_F(LayerListReader, HeaderLongerThanTheLimitStopsBeforeAnyGroup) {
    const std::string groups = "1 2 0 blur\n";
    EXPECT_EQ(readText(std::string(254, 'h') + "\n" + groups).groups.size(), 1u);
    EXPECT_EQ(readText(std::string(254, 'h') + "\r\n" + groups).groups.size(), 1u);
    EXPECT_TRUE(readText(std::string(255, 'h') + "\n" + groups).groups.empty());
}

TEST_F(LayerListReader, PartialLastGroupIsDropped) {
    const LayerReadResult read = readFile(dataFile("layers_truncated.dat"));
    ASSERT_EQ(read.status, LayerReadStatus::Ok);
    ASSERT_EQ(read.groups.size(), 1u);
    EXPECT_EQ(read.groups[0].effect, "overlay");
}

TEST_F(LayerListReader, FourWordCommentIsDroppedThreeWordCommentShiftsTheRest) {
    const LayerReadResult read = readFile(dataFile("layers_comments.dat"));
    ASSERT_EQ(read.status, LayerReadStatus::Ok);
    // "#three word comment" swallows "5": the next group is "6 0 negative" plus nothing.
    ASSERT_EQ(read.groups.size(), 1u);
    EXPECT_EQ(read.groups[0].start, "1");
    EXPECT_EQ(read.groups[0].effect, "blur");

    const LayerReadResult shifted = readText("h\n#three word comment\n5 6 0 negative 7 8 0 blur\n");
    ASSERT_EQ(shifted.groups.size(), 1u);
    EXPECT_EQ(shifted.groups[0].start, "6");
    EXPECT_EQ(shifted.groups[0].end, "0");
    EXPECT_EQ(shifted.groups[0].image, "negative");
    EXPECT_EQ(shifted.groups[0].effect, "7");
}

TEST_F(LayerListReader, GroupsIgnoreLineBreaks) {
    const LayerReadResult read = readText("h\n1\n2\n0\nblur 3 4\r\n0 replace\n");
    ASSERT_EQ(read.groups.size(), 2u);
    EXPECT_EQ(read.groups[1].effect, "replace");
}

TEST_F(LayerListReader, MalformedNumbersAndCaseSensitiveEffects) {
    const LayerReadResult read = readFile(dataFile("layers_malformed.dat"));
    ASSERT_EQ(read.status, LayerReadStatus::Ok);
    BlendLayerList list;
    appendBlendLayers(read.groups, &fakeLoader, list);
    ASSERT_EQ(list.size(), 3u);
    // "abc" and "-x" are 0: end 0 means never live, and nothing is loaded for it.
    EXPECT_EQ(list[0].start, 0.0f);
    EXPECT_EQ(list[0].end, 0.0f);
    EXPECT_EQ(list[0].texture, 0u);
    // "nan" parses to NaN, which no comparison lets live.
    EXPECT_EQ(list[1].start, 1000.0f);
    EXPECT_TRUE(std::isnan(list[1].end));
    // "+2.5e1" is 25; "7junk" is 7.
    EXPECT_EQ(list[2].start, 25.0f);
    EXPECT_EQ(list[2].end, 7.0f);
    EXPECT_EQ(list[2].program, multiplyProgram);
    EXPECT_EQ(loadedNames, std::vector<std::string>{"dat/black.jpg"});

    ActiveLayerList active;
    for (float t : {-1.0f, 0.0f, 5.0f, 15.0f, 1000.5f, 1e9f}) collectActiveLayersAt(list, t, active);
    EXPECT_TRUE(active.empty());
}

TEST_F(LayerListReader, EndZeroLoadsNothingEvenForAMissingFile) {
    const BlendLayer layer = makeBlendLayerWith(5.0f, 0.0f, "dat/does-not-exist.jpg", "overlay", &fakeLoader);
    EXPECT_TRUE(loadedNames.empty());
    EXPECT_EQ(layer.start, 0.0f);
    EXPECT_EQ(layer.texture, 0u);
    EXPECT_EQ(layer.program, 0u);
}

TEST_F(LayerListReader, EffectNamesMapToTheirPrograms) {
    EXPECT_EQ(makeBlendLayerWith(1, 2, "i", "overlay", &fakeLoader).program, overlayProgram);
    EXPECT_EQ(makeBlendLayerWith(1, 2, "i", "blur", &fakeLoader).program, blurProgram);
    EXPECT_EQ(makeBlendLayerWith(1, 2, "i", "multiply", &fakeLoader).program, multiplyProgram);
    EXPECT_EQ(makeBlendLayerWith(1, 2, "i", "negative", &fakeLoader).program, negativeProgram);
    EXPECT_EQ(makeBlendLayerWith(1, 2, "i", "replace", &fakeLoader).program, replaceProgram);
    EXPECT_EQ(makeBlendLayerWith(1, 2, "i", "Overlay", &fakeLoader).program, 0u);
    EXPECT_EQ(makeBlendLayerWith(1, 2, "i", "overlay2", &fakeLoader).program, 0u);
    EXPECT_EQ(makeBlendLayerWith(1, 2, "i", "", &fakeLoader).program, 0u);
    // The image is loaded whatever the effect word says.
    EXPECT_EQ(loadedNames.size(), 8u);
}

TEST_F(LayerListReader, WordsAtTheirLimitsAreAccepted) {
    const std::string time(31, '1');
    const std::string image(79, 'i');
    const std::string effect(127, 'e');
    const LayerReadResult read = readText("h\n" + time + " " + time + " " + image + " " + effect + "\n");
    ASSERT_EQ(read.status, LayerReadStatus::Ok);
    ASSERT_EQ(read.groups.size(), 1u);
    EXPECT_EQ(read.groups[0].image, image);
    EXPECT_EQ(read.groups[0].effect, effect);
    makeBlendLayerWith(1, 2, read.groups[0].image, "blur", &fakeLoader);
    EXPECT_EQ(loadedNames.at(0), image);  // the whole name fits the 80-character buffer
}

TEST_F(LayerListReader, OverLongWordsStopTheReadingWithAMessage) {
    const std::string image(80, 'i');
    LayerReadResult read = readText("h\n1 2 dat/black.jpg blur\n3 4 " + image + " blur\n5 6 0 blur\n");
    EXPECT_EQ(read.status, LayerReadStatus::WordTooLong);
    EXPECT_EQ(read.groups.size(), 1u);
    EXPECT_NE(read.message.find("image"), std::string::npos);
    EXPECT_NE(read.message.find("79"), std::string::npos);

    read = readText("h\n" + std::string(32, '1') + " 2 0 blur\n");
    EXPECT_EQ(read.status, LayerReadStatus::WordTooLong);
    read = readText("h\n1 2 0 " + std::string(128, 'e') + "\n");
    EXPECT_EQ(read.status, LayerReadStatus::WordTooLong);
}

TEST_F(LayerListReader, LongWordsInsideACommentAreHarmless) {
    const LayerReadResult read = readText("h\n#" + std::string(500, 'c') + " b c d\n1 2 0 blur\n");
    ASSERT_EQ(read.status, LayerReadStatus::Ok);
    ASSERT_EQ(read.groups.size(), 1u);
}

TEST_F(LayerListReader, TimesBeyondFloatRangeBecomeInfinite) {
    EXPECT_EQ(parseLayerTime("1e300"), INFINITY);
    EXPECT_EQ(parseLayerTime("-1e300"), -INFINITY);
    EXPECT_EQ(parseLayerTime("2.5"), 2.5f);
    EXPECT_EQ(parseLayerTime("x"), 0.0f);
}

TEST_F(LayerListReader, CollectAppendsToTheGlobalListAtTheClockTime) {
    blendLayers = {{1.0f, 3.0f, 7, 8}, {2.0f, 4.0f, 9, 10}};
    activeLayers.clear();
    demoClock.time = 2.5f;
    collectActiveLayers();
    ASSERT_EQ(activeLayers.size(), 2u);
    EXPECT_EQ(activeLayers[1].texture, 9u);
    EXPECT_EQ(activeLayers[1].program, 10u);
    demoClock.time = 3.5f;
    collectActiveLayers();  // appends; emptying is the pass's job
    ASSERT_EQ(activeLayers.size(), 3u);
    EXPECT_EQ(activeLayers[2].texture, 9u);
}

}  // namespace
