#include <gtest/gtest.h>

#include <string>

#include "base/data_root.h"

// Which folder the data is read from: the working directory whenever it holds dat/ (runs
// from build/run), except when it is the installed folder itself, which is never written.
TEST(DataRoot, ChoosesTheFolderTheDataIsReadFrom) {
    const std::string usr = installedDataFolder("/usr/bin/velkarn");
    EXPECT_EQ(usr, "/usr/share/velkarn");
    EXPECT_EQ(installedDataFolder(""), "");
    struct Case {
        bool workingHasData, programKnown, installedHasData, workingIsInstalled, installed;
    } const cases[] = {
        {true, true, true, false, false},     // build/run, even with an install beside
        {false, true, true, false, true},     // any other folder
        {true, true, true, true, true},       // the installed folder itself
        {false, true, false, false, false},   // nothing installed: missing files named as ever
        {false, false, false, false, false},  // the program's path unknown
    };
    for (const Case& c : cases) {
        const DataRoot root = chooseDataRoot(
            {c.workingHasData, c.programKnown ? usr : "", c.installedHasData, c.workingIsInstalled});
        EXPECT_EQ(root.folder, c.installed ? usr : "");
        EXPECT_EQ(root.installed, c.installed);
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
