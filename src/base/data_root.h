// Where the demo reads its data: the working directory when it holds dat/ (a run from
// build/run), else the installed data folder beside the program (PREFIX/share/velkarn for
// PREFIX/bin/velkarn). Paths the user gives stay relative to the working directory.
#pragma once

#include <string>
#include <string_view>

struct DataRoot {
    std::string folder;      // empty: the working directory
    bool installed = false;  // read from the installed data; nothing is written there
};

// What start-up finds on the disk, for chooseDataRoot.
struct DataRootProbe {
    bool workingHasData = false;    // ./dat is a folder
    std::string installedFolder;    // installedDataFolder of the program, empty when unknown
    bool installedHasData = false;  // installedFolder/dat is a folder
    bool workingIsInstalled = false;
};

// PREFIX/share/velkarn for the program PREFIX/bin/velkarn; empty for an empty path.
std::string installedDataFolder(std::string_view programPath);
// The working directory when it holds the data and is not the installed folder itself
// (a run there must not write into it); else the installed folder when it holds the data;
// else the working directory, whose missing files are then named as they always were.
DataRoot chooseDataRoot(const DataRootProbe& probe);
// relative under folder; an absolute path or an empty folder leaves it as it is.
std::string joinDataPath(std::string_view folder, std::string_view relative);
// $XDG_CACHE_HOME/velkarn when that is an absolute path, else $HOME/.cache/velkarn; empty
// when neither is set.
std::string chooseCacheFolder(const char* xdgCacheHome, const char* home);

// Decided on first use (the soft bodies read their model before main runs) and kept.
const DataRoot& dataRoot();
// A data file's path as it is opened: unchanged for a run from the working directory.
std::string dataPath(std::string_view relative);
// The user's cache file `name` of an installed run, its folder made; empty when there is
// no cache folder.
std::string userCacheFile(std::string_view name);
