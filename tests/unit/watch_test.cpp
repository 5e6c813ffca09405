#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "render/reload.h"
#include "shell/watch.h"

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

class WatchFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("velkarn-watch-test-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }
    static void write(const std::string& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
    fs::path dir_;
};

}  // namespace

TEST_F(WatchFiles, StampTellsExistenceSizeAndTime) {
    const std::string file = path("p-num.dat");
    EXPECT_FALSE(stampOf(file).exists);
    write(file, "header\n0 100\n");
    const FileStamp stamp = stampOf(file);
    EXPECT_TRUE(stamp.exists);
    EXPECT_EQ(stamp.size, 13u);
    EXPECT_NE(stamp.modifiedNs, 0);
}

TEST_F(WatchFiles, PollReportsEachChangeOnce) {
    std::vector<WatchedFile> files = {{path("a.dat"), WatchKind::Tuning, {}}, {path("b.glsl"), WatchKind::Shader, {}}};
    for (WatchedFile& f : files) f.stamp = stampOf(f.path);
    EXPECT_TRUE(pollChangedFiles(files).empty());

    write(files[1].path, "void main() {}\n");  // created
    EXPECT_EQ(pollChangedFiles(files), std::vector<std::size_t>{1});
    EXPECT_TRUE(pollChangedFiles(files).empty());  // seen: not reported again

    write(files[0].path, "x\n");
    write(files[1].path, "void main() { }\n");  // both changed in one poll
    EXPECT_EQ(pollChangedFiles(files), (std::vector<std::size_t>{0, 1}));

    fs::remove(files[0].path);  // deleted counts as changed, and the stamp says so
    const std::vector<std::size_t> gone = pollChangedFiles(files);
    ASSERT_EQ(gone, std::vector<std::size_t>{0});
    EXPECT_FALSE(files[0].stamp.exists);
}

TEST_F(WatchFiles, SameSizeRewriteIsSeenByItsTime) {
    std::vector<WatchedFile> files = {{path("p-negative.dat"), WatchKind::Tuning, {}}};
    write(files[0].path, "neg\n0 0\n");
    const auto before = fs::last_write_time(files[0].path);
    files[0].stamp = stampOf(files[0].path);
    write(files[0].path, "neg\n0 1\n");
    fs::last_write_time(files[0].path, before + std::chrono::seconds(1));
    EXPECT_EQ(pollChangedFiles(files).size(), 1u);
}

TEST(WatchList, HoldsTuningFilesLayerListAndElevenShaderSources) {
    const std::vector<WatchedFile> files = demoWatchList();
    ASSERT_EQ(files.size(), 16u);
    const auto count = [&](WatchKind kind) {
        return std::count_if(files.begin(), files.end(), [&](const WatchedFile& f) { return f.kind == kind; });
    };
    EXPECT_EQ(count(WatchKind::Tuning), 4);
    EXPECT_EQ(count(WatchKind::LayerList), 1);
    EXPECT_EQ(count(WatchKind::Shader), 11);
    std::set<std::string> distinct;
    for (const WatchedFile& f : files) {
        distinct.insert(f.path);
        EXPECT_TRUE(f.path.starts_with("dat/")) << f.path;
    }
    EXPECT_EQ(distinct.size(), files.size());
}

TEST(WatchInterval, PollsAreSpacedByTheInterval) {
    const auto start = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    auto last = start;
    EXPECT_FALSE(watchPollDue(last, start + milliseconds(100)));
    EXPECT_EQ(last, start);
    EXPECT_TRUE(watchPollDue(last, start + kWatchInterval));
    EXPECT_EQ(last, start + kWatchInterval);
    EXPECT_FALSE(watchPollDue(last, start + kWatchInterval + milliseconds(200)));
    EXPECT_TRUE(watchPollDue(last, start + milliseconds(900)));
}

TEST(WatchShaders, EachSourceRebuildsTheProgramsBuiltFromIt) {
    EXPECT_EQ(shaderSourceSets().size(), 7u);
    EXPECT_EQ(shaderSourceFiles().size(), 11u);
    // The shared vertex sources rebuild every program that uses them.
    EXPECT_EQ(shaderEntriesUsing("dat/multiply_vertex.glsl"), (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(shaderEntriesUsing("dat/geom-vert.glsl"), (std::vector<std::size_t>{5, 6}));
    // "blur" is the depth-of-field source.
    EXPECT_EQ(shaderEntriesUsing("dat/dof_fragment.glsl"), std::vector<std::size_t>{3});
    EXPECT_EQ(shaderSourceSets()[3].program, &blurProgram);
    EXPECT_EQ(shaderEntriesUsing("dat/geom-geom.glsl"), std::vector<std::size_t>{5});
    EXPECT_EQ(shaderEntriesUsing("dat/geom-geom-blobe.glsl"), std::vector<std::size_t>{6});
    EXPECT_EQ(shaderEntriesUsing("dat/geom-blob-frag.glsl"), std::vector<std::size_t>{6});
    EXPECT_EQ(shaderSourceSets()[6].program, &blobGeomProgram);
    EXPECT_TRUE(shaderEntriesUsing("dat/p-blend.dat").empty());
    EXPECT_TRUE(shaderEntriesUsing("multiply_vertex.glsl").empty());  // exact names only
}

TEST(WatchShaders, LayersFollowARebuiltProgram) {
    BlendLayerList layers = {{0.0f, 10.0f, 5, 7}, {0.0f, 10.0f, 6, 8}, {1.0f, 2.0f, 0, 0}, {3.0f, 4.0f, 5, 7}};
    replaceLayerProgram(layers, 7, 21);
    EXPECT_EQ(layers[0].program, 21u);
    EXPECT_EQ(layers[1].program, 8u);
    EXPECT_EQ(layers[3].program, 21u);
    // Program 0 is plain copying; a table entry that was never built must not claim it.
    replaceLayerProgram(layers, 0, 30);
    EXPECT_EQ(layers[2].program, 0u);
}

namespace {

// Fake image loader: names containing "missing" fail; others get a texture number
// from their length. Every call is counted.
int loaderCalls = 0;
std::optional<unsigned int> fakeLoader(const char* fileName, std::string* error) {
    ++loaderCalls;
    const std::string name = fileName;
    if (name.find("missing") != std::string::npos) {
        if (error != nullptr) *error = "no such file";
        return std::nullopt;
    }
    return static_cast<unsigned int>(100 + name.size());
}

BlendLayerList oldLayers() { return {{1.0f, 2.0f, 9, 9}}; }

}  // namespace

TEST(WatchLayerList, GoodFileReplacesTheList) {
    std::istringstream in("header\n10 20 dat/black.jpg multiply\n15 30 0 replace\n#never live: end 0\n0 0 dat/missing.jpg blur\n");
    BlendLayerList layers = oldLayers();
    std::string error;
    loaderCalls = 0;
    ASSERT_TRUE(readBlendLayersChecked(in, &fakeLoader, layers, error)) << error;
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(layers[0].start, 10.0f);
    EXPECT_EQ(layers[0].texture, 100u + 13);
    EXPECT_EQ(layers[0].program, multiplyProgram);
    EXPECT_EQ(layers[1].texture, 0u);  // image "0": nothing loaded
    EXPECT_EQ(layers[2].end, 0.0f);    // never live: its missing image is not loaded
    EXPECT_EQ(loaderCalls, 2);         // checked once, then taken from the cache
}

TEST(WatchLayerList, ImageThatCannotLoadKeepsTheOldList) {
    std::istringstream in("header\n10 20 dat/black.jpg multiply\n30 40 dat/missing.png overlay\n");
    BlendLayerList layers = oldLayers();
    std::string error;
    EXPECT_FALSE(readBlendLayersChecked(in, &fakeLoader, layers, error));
    ASSERT_EQ(layers.size(), 1u);
    EXPECT_EQ(layers[0].texture, 9u);
    EXPECT_NE(error.find("dat/missing.png"), std::string::npos) << error;
    EXPECT_NE(error.find("group 2"), std::string::npos) << error;
    EXPECT_NE(error.find("no such file"), std::string::npos) << error;
}

TEST(WatchLayerList, OverLongWordKeepsTheOldList) {
    std::istringstream in("header\n10 20 dat/" + std::string(100, 'x') + ".jpg multiply\n");
    BlendLayerList layers = oldLayers();
    std::string error;
    EXPECT_FALSE(readBlendLayersChecked(in, &fakeLoader, layers, error));
    EXPECT_EQ(layers.size(), 1u);
    EXPECT_FALSE(error.empty());
}

TEST(WatchLayerList, HeaderOnlyGivesAnEmptyList) {
    std::istringstream in("start end image effect\n");
    BlendLayerList layers = oldLayers();
    std::string error;
    EXPECT_TRUE(readBlendLayersChecked(in, &fakeLoader, layers, error));
    EXPECT_TRUE(layers.empty());
}
