// --watch: when a poll sees a change, which files are polled, which shader programs a
// source rebuilds, and a layer list taken in only when it reads whole.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "program/watch.h"
#include "render/reload.h"
#include "testing/scratch_files.h"

namespace fs = std::filesystem;
using Indices = std::vector<std::size_t>;

TEST(Watch, PollReportsEachCreationChangeAndDeletionOnce) {
    const testfiles::ScratchDir scratch;
    const fs::path& dir = scratch.path();
    std::vector<WatchedFile> files = {{dir / "a.dat", WatchKind::Tuning, {}}, {dir / "b.glsl", WatchKind::Shader, {}}};
    const auto write = [&](std::size_t i, const char* text) { testfiles::writeFile(files[i].path, text); };
    for (WatchedFile& f : files) f.stamp = stampOf(f.path);
    EXPECT_EQ(pollChangedFiles(files), Indices{});
    write(1, "void main() {}\n");
    EXPECT_EQ(pollChangedFiles(files), Indices{1});
    EXPECT_EQ(pollChangedFiles(files), Indices{}) << "seen: not reported again";
    write(0, "neg\n0 0\n");
    write(1, "void main() { }\n");
    EXPECT_EQ(pollChangedFiles(files), (Indices{0, 1}));
    const auto before = fs::last_write_time(files[0].path);
    write(0, "neg\n0 1\n");
    fs::last_write_time(files[0].path, before + std::chrono::seconds(1));
    EXPECT_EQ(pollChangedFiles(files), Indices{0}) << "a rewrite of the same size is seen by its time";
    fs::remove_all(dir);
    EXPECT_EQ(pollChangedFiles(files), (Indices{0, 1}));
    EXPECT_FALSE(files[0].stamp.exists);
    // Polls are spaced by the interval, so a fast frame loop costs a few stat calls a second.
    const auto start = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    auto last = start;
    EXPECT_FALSE(watchPollDue(last, start + kWatchInterval / 2));
    EXPECT_TRUE(watchPollDue(last, start + kWatchInterval));
    EXPECT_FALSE(watchPollDue(last, start + kWatchInterval * 3 / 2));
    EXPECT_TRUE(watchPollDue(last, start + kWatchInterval * 2));
}

TEST(Watch, EachSourceRebuildsTheProgramsBuiltFromIt) {
    const std::vector<WatchedFile> files = demoWatchList();
    std::set<std::string> paths;
    for (const WatchedFile& f : files) paths.insert(f.path);
    EXPECT_EQ(paths.size(), 16u) << "sixteen distinct files";
    EXPECT_TRUE(std::all_of(paths.begin(), paths.end(), [](const std::string& p) { return p.starts_with("dat/"); }));
    for (const auto& [kind, count] :
         {std::pair{WatchKind::Tuning, 4}, std::pair{WatchKind::LayerList, 1}, std::pair{WatchKind::Shader, 11}}) {
        const auto ofKind = [&](const WatchedFile& f) { return f.kind == kind; };
        EXPECT_EQ(std::count_if(files.begin(), files.end(), ofKind), count) << "kind " << static_cast<int>(kind);
    }
    EXPECT_EQ(shaderEntriesUsing("dat/multiply_vertex.glsl"), (Indices{0, 1, 2, 3, 4}));  // shared vertex sources
    EXPECT_EQ(shaderEntriesUsing("dat/geom-vert.glsl"), (Indices{5, 6}));
    EXPECT_EQ(shaderEntriesUsing("dat/dof_fragment.glsl"), Indices{3});
    EXPECT_EQ(shaderEntriesUsing("dat/geom-geom-blobe.glsl"), Indices{6});
    EXPECT_EQ(shaderEntriesUsing("multiply_vertex.glsl"), Indices{}) << "exact names only";
    // Program 0 is plain copying: a table entry never built must not claim its layers.
    BlendLayerList layers = {{0.0f, 10.0f, 5, 7}, {0.0f, 10.0f, 6, 8}, {1.0f, 2.0f, 0, 0}};
    replaceLayerProgram(layers, 7, 21);
    replaceLayerProgram(layers, 0, 30);
    EXPECT_EQ(std::tuple(layers[0].program, layers[1].program, layers[2].program), std::tuple(21u, 8u, 0u));
}

TEST(Watch, LayerListIsTakenInOnlyWhenItReadsWhole) {
    // A fake image loader: names with "missing" fail, others get a texture from their length.
    static int calls = 0;
    const TryImageLoader loader = [](const char* name, std::string* error) -> std::optional<unsigned int> {
        ++calls;
        if (std::strstr(name, "missing") == nullptr) return 100 + std::strlen(name);
        *error = "no such file";
        return std::nullopt;
    };
    BlendLayerList layers;
    std::string error;
    // A never-live layer (end 0) loads nothing, not even its missing image; image "0" is none.
    const LayerReadResult good = readLayerGroups(
        "header\n10 20 dat/black.jpg multiply\n15 30 0 replace\n0 0 dat/missing.jpg blur\n");
    ASSERT_TRUE(readBlendLayersChecked(good, kBlendLayerFile, loader, layers, error)) << error;
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(std::tuple(layers[0].texture, layers[0].program, layers[1].texture),
              std::tuple(113u, programs.multiplyProgram, 0u));
    EXPECT_EQ(calls, 2) << "each image loaded once, then taken from the cache";
    const std::string missingImage = "h\n30 40 dat/missing.png overlay\n";
    const std::string longWord = "h\n1 2 " + std::string(100, 'x') + " blur";
    for (const std::string& bad : {missingImage, longWord}) {
        EXPECT_FALSE(readBlendLayersChecked(readLayerGroups(bad), kBlendLayerFile, loader, layers, error)) << bad;
        EXPECT_EQ(layers.size(), 3u) << "the old list stays";
    }
}
