#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "render/layer_list.h"
#include "render/shaders.h"
#include "testing/fluid_support.h"
#include "testing/scratch_files.h"

namespace {

LayerReadResult read(const std::string& text) { return readLayerGroups(text); }

std::string dataFile(const char* name) {
    return testfiles::readFile(std::string(VELKARN_TEST_DATA) + "/render/" + name);
}

std::string joined(const LayerReadResult& r) {
    std::string out;
    for (const LayerGroup& g : r.groups) {
        out += (out.empty() ? "" : "|") + g.start + " " + g.end + " " + g.image + " " + g.effect;
    }
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
        saved_ = programs;
        programs.overlayProgram = 11, programs.blurProgram = 12, programs.multiplyProgram = 13;
        programs.negativeProgram = 14, programs.replaceProgram = 15;
    }
    void TearDown() override { programs = saved_; }

    ShaderTable saved_;
};

TEST_F(LayerListReader, GroupsOfFourWordsAfterTheHeader) {
    const std::string h254(254, 'h'), w31(31, '1'), w79(79, 'i'), w127(127, 'e');
    const struct {
        std::string text, groups;
        LayerReadStatus status = LayerReadStatus::Ok;
    } cases[] = {
        {dataFile("layers_header_only.dat"), ""},
        {"", ""},
        {"header\n   \n\t\n", ""},
        {h254 + "\n1 2 0 blur\n", "1 2 0 blur"},
        {h254 + "\r\n1 2 0 blur\n", "1 2 0 blur"},
        {h254 + "h\n1 2 0 blur\n", ""},  // header over the limit: no groups
        {dataFile("layers_comments.dat"), "1 2 0 blur"},
        {"h\n#three word comment\n5 6 0 negative 7 8 0 blur\n", "6 0 negative 7"},  // the comment eats "5"
        {"h\n1\n2\n0\nblur 3 4\r\n0 replace\n", "1 2 0 blur|3 4 0 replace"},
        {"h\n" + w31 + " " + w31 + " " + w79 + " " + w127 + "\n", w31 + " " + w31 + " " + w79 + " " + w127},
        {"h\n#" + std::string(500, 'c') + " b c d\n1 2 0 blur\n", "1 2 0 blur"},
        {"h\n1 2 0 blur\n3 4 " + w79 + "i blur\n5 6 0 blur\n", "1 2 0 blur", LayerReadStatus::WordTooLong},
        {"h\n" + w31 + "1 2 0 blur\n", "", LayerReadStatus::WordTooLong},
        {"h\n1 2 0 " + w127 + "e\n", "", LayerReadStatus::WordTooLong},
    };
    for (const auto& c : cases) {
        const LayerReadResult r = read(c.text);
        EXPECT_EQ(joined(r), c.groups) << c.text.substr(0, 60);
        EXPECT_EQ(r.status, c.status) << c.text.substr(0, 60);
    }
    const std::string message = read(cases[11].text).message;
    EXPECT_TRUE(message.find("image") != std::string::npos && message.find("79") != std::string::npos) << message;
    // The file: none is nothing to read; an endless one (a link to /dev/zero) is refused
    // once past the bound, not read into memory.
    const testfiles::ScratchDir scratch;
    EXPECT_FALSE(readLayerFile(scratch.file("none.dat").c_str()).has_value());
    std::filesystem::create_symlink("/dev/zero", scratch.path() / "endless.dat");
    const std::optional<LayerReadResult> endless = readLayerFile(scratch.file("endless.dat").c_str());
    ASSERT_TRUE(endless.has_value());
    EXPECT_EQ(endless->status, LayerReadStatus::TooLarge);
    EXPECT_EQ(endless->message, "the layer list is larger than 16 MB; not read");
}

// The two groups, then three whose malformed times ("abc -x", "1e3 nan", "+2.5e1 7junk")
// keep them from ever being live.
TEST_F(LayerListReader, LayersAreLiveStrictlyInsideTheirWindowsInFileOrder) {
    BlendLayerList list;
    appendBlendLayers(read(dataFile("layers_two_groups.dat")).groups, &fakeLoader, list);
    appendBlendLayers(read(dataFile("layers_malformed.dat")).groups, &fakeLoader, list);
    ASSERT_EQ(list.size(), 5u);
    const struct {
        float t;
        std::vector<unsigned int> textures;
    } cases[] = {{-1.0f, {}},       {0.0f, {}},   {10.0f, {}}, {10.5f, {101}}, {15.0f, {101}},
                 {17.0f, {101, 0}}, {20.0f, {0}}, {30.0f, {}}, {1000.5f, {}},  {1e9f, {}}};
    for (const auto& c : cases) {
        std::vector<unsigned int> textures;
        for (const BlendLayer& layer : list) {
            if (layerLiveAt(layer, c.t)) textures.push_back(layer.texture);
        }
        EXPECT_EQ(textures, c.textures) << "t = " << c.t;
    }
    EXPECT_TRUE(list[4].start == 25.0f && list[4].end == 7.0f && std::isnan(list[3].end));
    EXPECT_TRUE(parseLayerTime("1e300") == INFINITY && parseLayerTime("-1e300") == -INFINITY);  // not UB
}

// Every effect word with a short image name and with the longest that fits the 80-character
// buffer. (A layer never live or without an image loads nothing: the watch test's reload.)
TEST_F(LayerListReader, ImageAndEffectWordsChooseTextureAndProgram) {
    const std::pair<const char*, unsigned int> effects[] = {{"overlay", 11},  {"blur", 12},    {"multiply", 13},
                                                            {"negative", 14}, {"replace", 15}, {"Overlay", 0},
                                                            {"overlay2", 0},  {"", 0}};
    for (const auto& [effect, program] : effects) {
        for (const std::string& image : {std::string("i"), std::string(79, 'i')}) {
            loadedNames.clear();
            const BlendLayer layer = makeBlendLayerWith(5.0f, 20.0f, image, effect, &fakeLoader);
            EXPECT_EQ(layer.program, program) << effect;
            EXPECT_EQ(layer.texture, 101u);
            EXPECT_EQ(loadedNames, std::vector<std::string>{image});
        }
    }
}

}  // namespace
