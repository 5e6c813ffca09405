#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "render/layer_list.h"
#include "render/shaders.h"

namespace {

// "@name" reads tests/data/render/name, anything else is the file's text.
LayerReadResult read(const std::string& text) {
    if (!text.starts_with('@')) {
        std::istringstream in(text);
        return readLayerGroups(in);
    }
    std::ifstream in(std::string(VELKARN_TEST_DATA) + "/render/" + text.substr(1), std::ios::binary);
    EXPECT_TRUE(in.good()) << text;
    return readLayerGroups(in);
}

std::string joined(const LayerReadResult& r) {
    std::string out;
    for (const LayerGroup& g : r.groups) out += (out.empty() ? "" : "|") + g.start + " " + g.end + " " + g.image + " " + g.effect;
    return out;
}

std::vector<std::string> loadedNames;
unsigned int fakeLoader(const char* fileName) {
    loadedNames.emplace_back(fileName);
    return 100u + static_cast<unsigned int>(loadedNames.size());
}

class LayerListReader : public ::testing::Test {
protected:
    void SetUp() override {
        loadedNames.clear();
        overlayProgram = 11, blurProgram = 12, multiplyProgram = 13, negativeProgram = 14, replaceProgram = 15;
    }
    void TearDown() override { overlayProgram = blurProgram = multiplyProgram = negativeProgram = replaceProgram = 0; }
};

TEST_F(LayerListReader, GroupsOfFourWordsAfterTheHeader) {
    const std::string h254(254, 'h'), w31(31, '1'), w79(79, 'i'), w127(127, 'e');
    const struct {
        std::string text, groups;
        LayerReadStatus status = LayerReadStatus::Ok;
    } cases[] = {
        {"@layers_header_only.dat", ""},
        {"", ""},
        {"header\n   \n\t\n", ""},
        {h254 + "\n1 2 0 blur\n", "1 2 0 blur"},
        {h254 + "\r\n1 2 0 blur\n", "1 2 0 blur"},
        {h254 + "h\n1 2 0 blur\n", ""},  // header over the limit: no groups
        {"@layers_truncated.dat", "1 2 dat/black.jpg overlay"},
        {"@layers_comments.dat", "1 2 0 blur"},
        {"h\n#three word comment\n5 6 0 negative 7 8 0 blur\n", "6 0 negative 7"},  // the comment eats "5"
        {"h\n1\n2\n0\nblur 3 4\r\n0 replace\n", "1 2 0 blur|3 4 0 replace"},
        {"h\n" + w31 + " " + w31 + " " + w79 + " " + w127 + "\n", w31 + " " + w31 + " " + w79 + " " + w127},
        {"h\n#" + std::string(500, 'c') + " b c d\n1 2 0 blur\n", "1 2 0 blur"},
        {"h\n1 2 0 blur\n3 4 " + w79 + "i blur\n5 6 0 blur\n", "1 2 0 blur", LayerReadStatus::WordTooLong},
        {"h\n" + w31 + "1 2 0 blur\n", "", LayerReadStatus::WordTooLong},
        {"h\n1 2 0 " + w127 + "e\n", "", LayerReadStatus::WordTooLong},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        const LayerReadResult r = read(c.text);
        EXPECT_EQ(joined(r), c.groups);
        EXPECT_EQ(r.status, c.status);
    }
    const std::string message = read(cases[12].text).message;
    EXPECT_NE(message.find("image"), std::string::npos) << message;
    EXPECT_NE(message.find("79"), std::string::npos) << message;
}

TEST_F(LayerListReader, TwoGroupsAreLiveStrictlyInsideTheirWindowsInFileOrder) {
    BlendLayerList list;
    appendBlendLayers(read("@layers_two_groups.dat").groups, &fakeLoader, list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].program, multiplyProgram);
    EXPECT_EQ(list[1].program, 0u);  // image "0": no texture, the effect ignored
    EXPECT_EQ(loadedNames, std::vector<std::string>{"dat/black.jpg"});
    const struct {
        float t;
        std::vector<unsigned int> textures;
    } cases[] = {{10.0f, {}}, {10.5f, {101}}, {17.0f, {101, 0}}, {20.0f, {0}}, {30.0f, {}}};
    for (const auto& c : cases) {
        ActiveLayerList active;
        collectActiveLayersAt(list, c.t, active);
        std::vector<unsigned int> textures;
        for (const ActiveLayer& a : active) textures.push_back(a.texture);
        EXPECT_EQ(textures, c.textures) << "t = " << c.t;
    }
}

TEST_F(LayerListReader, MalformedTimesMakeLayersThatAreNeverLive) {
    BlendLayerList list;
    appendBlendLayers(read("@layers_malformed.dat").groups, &fakeLoader, list);  // "abc -x", "1e3 nan", "+2.5e1 7junk"
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[2].start, 25.0f);
    EXPECT_EQ(list[2].end, 7.0f);
    ActiveLayerList active;
    for (float t : {-1.0f, 0.0f, 5.0f, 15.0f, 1000.5f, 1e9f}) collectActiveLayersAt(list, t, active);
    EXPECT_TRUE(active.empty());
    const struct {
        const char* word;
        float value;
    } times[] = {{"1e300", INFINITY}, {"-1e300", -INFINITY}, {"2.5", 2.5f}, {"x", 0.0f}, {"-x", 0.0f}, {"7junk", 7.0f}};
    for (const auto& c : times) EXPECT_EQ(parseLayerTime(c.word), c.value) << c.word;
    EXPECT_TRUE(std::isnan(parseLayerTime("nan")));
}

TEST_F(LayerListReader, ImageAndEffectWordsChooseTextureAndProgram) {
    const std::string long79(79, 'i');
    const struct {
        float end;
        std::string image, effect;
        unsigned int program;
        bool loads;
    } cases[] = {
        {0, "dat/does-not-exist.jpg", "overlay", 0, false},  // end 0: never live, nothing loaded
        {2, "0", "replace", 0, false},
        {2, "i", "overlay", 11, true}, {2, "i", "blur", 12, true},       {2, "i", "multiply", 13, true},
        {2, "i", "negative", 14, true}, {2, "i", "replace", 15, true},   {2, "i", "Overlay", 0, true},
        {2, "i", "overlay2", 0, true},  {2, long79, "", 0, true},  // the whole name fits the 80-char buffer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.image + " " + c.effect);
        loadedNames.clear();
        const BlendLayer layer = makeBlendLayerWith(5.0f, c.end, c.image, c.effect, &fakeLoader);
        EXPECT_EQ(layer.start, c.end == 0 ? 0.0f : 5.0f);
        EXPECT_EQ(layer.program, c.program);
        EXPECT_EQ(layer.texture, c.loads ? 101u : 0u);
        EXPECT_EQ(loadedNames, c.loads ? std::vector<std::string>{c.image} : std::vector<std::string>{});
    }
}

}  // namespace
