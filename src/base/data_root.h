// Where the demo reads its data: the working directory when it holds a data folder (a run
// from build/run), else the data beside the program (build/run/dat for build/run/velkarn),
// else the installed data folder (PREFIX/share/velkarn for PREFIX/bin/velkarn). Paths the
// user gives stay relative to the working directory.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

// A dat/ folder is a data folder when it holds one of the files the build generates and one
// of the hand-written ones. The repository's own dat/ holds only the hand-written files, and
// one missing file does not disqualify a folder (the run then names it, as it always has).
inline constexpr std::array<std::string_view, 3> kGeneratedDataMarks = {"dat/Objekt3.asc", "dat/logoend.ppm",
                                                                       "dat/black.jpg"};
inline constexpr std::array<std::string_view, 3> kHandWrittenDataMarks = {"dat/geom-vert.glsl", "dat/p-blend.dat",
                                                                         "dat/p-num.dat"};

struct DataRoot {
    std::string folder;      // empty: the working directory
    bool installed = false;  // read from the installed data; nothing is written there
};

// What start-up finds on the disk, for chooseDataRoot.
struct DataRootProbe {
    bool workingHasData = false;    // ./dat is a data folder
    std::string installedFolder;    // installedDataFolder of the program, empty when unknown
    bool installedHasData = false;  // installedFolder/dat is a folder
    bool workingIsInstalled = false;
    std::string programFolder;     // the folder the program is in, empty when unknown
    bool programHasData = false;   // programFolder/dat is a data folder
};

// Whether a folder whose files `exists` tells (given a path under it, such as
// "dat/logoend.ppm") is a data folder: one generated and one hand-written mark.
bool holdsDataFolder(const std::function<bool(std::string_view relative)>& exists);

// PREFIX/share/velkarn for the program PREFIX/bin/velkarn; empty for an empty path.
std::string installedDataFolder(std::string_view programPath);
// The working directory when it holds the data and is not the installed folder itself
// (a run there must not write into it); else the program's own folder when it holds the
// data (read and written like a working directory); else the installed folder when it holds
// the data; else the working directory, whose missing files are then named as they always were.
DataRoot chooseDataRoot(const DataRootProbe& probe);
// relative under folder; an absolute path or an empty folder leaves it as it is.
std::string joinDataPath(std::string_view folder, std::string_view relative);
// $XDG_CACHE_HOME/velkarn when that is an absolute path, else $HOME/.cache/velkarn; empty
// when neither is set.
std::string chooseCacheFolder(const char* xdgCacheHome, const char* home);

// Decided on first use and kept.
const DataRoot& dataRoot();
// A data file's path as it is opened: unchanged for a run from the working directory.
std::string dataPath(std::string_view relative);
// The user's cache file `name` of an installed run, its folder made; empty when there is
// no cache folder.
std::string userCacheFile(std::string_view name);
