#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "base/data_root.h"

// Which folder the data is read from: the working directory whenever it holds a data folder
// (runs from build/run), except when it is the installed folder itself, which is never
// written; else the data beside the program; else the installed data.
TEST(DataRoot, ChoosesTheFolderTheDataIsReadFrom) {
    const std::string usr = installedDataFolder("/usr/bin/velkarn");
    EXPECT_EQ(usr, "/usr/share/velkarn");
    EXPECT_EQ(installedDataFolder(""), "");
    const std::string run = "/src/build/run";
    enum Root { Working, Program, Installed };
    struct Case {
        bool workingHasData, programKnown, installedHasData, workingIsInstalled, programHasData;
        Root root;
    } const cases[] = {
        {true, true, true, false, true, Working},       // build/run, even with an install beside
        {false, true, false, false, true, Program},     // build/run/velkarn from the repository root
        {false, true, true, false, true, Program},      // ... with an install elsewhere too
        {false, true, true, false, false, Installed},   // an installed program from any other folder
        {true, true, true, true, false, Installed},     // the installed folder itself
        {false, true, false, false, false, Working},    // nothing anywhere: missing files named as ever
        {false, false, false, false, false, Working},   // the program's path unknown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.workingHasData << c.installedHasData << c.workingIsInstalled
                                        << c.programHasData);
        const DataRoot root = chooseDataRoot({c.workingHasData, c.programKnown ? usr : "", c.installedHasData,
                                              c.workingIsInstalled, c.programKnown ? run : "", c.programHasData});
        const std::string folder = c.root == Installed ? usr : c.root == Program ? run : "";
        EXPECT_EQ(root.folder, folder);
        EXPECT_EQ(root.installed, c.root == Installed);
    }
    // A data folder holds files the build makes and hand-written ones: the repository's own
    // dat/ (hand-written only) is none, a run folder missing one file still is.
    const struct {
        std::vector<std::string_view> files;
        bool dataFolder;
    } folders[] = {
        {{"dat/p-blend.dat", "dat/geom-vert.glsl", "dat/p-num.dat"}, false},
        {{"dat/Objekt3.asc", "dat/logoend.ppm", "dat/black.jpg"}, false},
        {{"dat/black.jpg", "dat/p-num.dat"}, true},
        {{"dat/Objekt3.asc", "dat/geom-vert.glsl"}, true},
        {{}, false},
    };
    for (const auto& f : folders) {
        EXPECT_EQ(holdsDataFolder([&f](std::string_view relative) {
                      return std::find(f.files.begin(), f.files.end(), relative) != f.files.end();
                  }),
                  f.dataFolder)
            << f.files.size() << " files";
    }
    EXPECT_EQ(joinDataPath("", "dat/p-num.dat"), "dat/p-num.dat");
    EXPECT_EQ(joinDataPath(usr, "dat/p-num.dat"), "/usr/share/velkarn/dat/p-num.dat");
    EXPECT_EQ(joinDataPath(usr, "/tmp/x.png"), "/tmp/x.png");
}

TEST(DataRoot, CacheFolderFollowsXdg) {
    EXPECT_EQ(chooseCacheFolder("/c", "/h"), "/c/velkarn");
    EXPECT_EQ(chooseCacheFolder("relative", "/h"), "/h/.cache/velkarn");
    EXPECT_EQ(chooseCacheFolder("", "/h"), "/h/.cache/velkarn");
    EXPECT_EQ(chooseCacheFolder(nullptr, nullptr), "");
}
