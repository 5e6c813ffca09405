// The data root: the rules, and the probes of the disk they are fed with.
#include "base/data_root.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string installedDataFolder(std::string_view programPath) {
    if (programPath.empty()) return {};
    return (fs::path(programPath).parent_path() / ".." / "share" / "velkarn").lexically_normal().string();
}

bool holdsDataFolder(const std::function<bool(std::string_view relative)>& exists) {
    auto any = [&](const auto& marks) { return std::any_of(marks.begin(), marks.end(), exists); };
    return any(kGeneratedDataMarks) && any(kHandWrittenDataMarks);
}

DataRoot chooseDataRoot(const DataRootProbe& probe) {
    const bool installedUsable = !probe.installedFolder.empty() && probe.installedHasData;
    if (probe.workingHasData && !(installedUsable && probe.workingIsInstalled)) return {};
    if (!probe.programFolder.empty() && probe.programHasData) return {probe.programFolder, false};
    if (installedUsable) return {probe.installedFolder, true};
    return {};
}

std::string joinDataPath(std::string_view folder, std::string_view relative) {
    if (folder.empty() || relative.starts_with('/')) return std::string(relative);
    std::string path(folder);
    if (!path.ends_with('/')) path += '/';
    return path += relative;
}

std::string chooseCacheFolder(const char* xdgCacheHome, const char* home) {
    // The XDG rules ignore a relative XDG_CACHE_HOME.
    if (xdgCacheHome != nullptr && xdgCacheHome[0] == '/') return joinDataPath(xdgCacheHome, "velkarn");
    if (home != nullptr && home[0] != '\0') return joinDataPath(home, ".cache/velkarn");
    return {};
}

namespace {

bool isFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool isDataFolder(const fs::path& folder) {
    return holdsDataFolder([&folder](std::string_view relative) {
        std::error_code error;
        return fs::is_regular_file(folder / relative, error);
    });
}

DataRoot probeDataRoot() {
    std::error_code error;
    DataRootProbe probe;
    probe.workingHasData = isDataFolder(".");
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    probe.installedFolder = installedDataFolder(program.string());
    probe.installedHasData = !probe.installedFolder.empty() && isFolder(fs::path(probe.installedFolder) / "dat");
    probe.workingIsInstalled = probe.installedHasData && fs::equivalent(".", probe.installedFolder, error);
    if (!program.empty()) {
        probe.programFolder = program.parent_path().string();
        probe.programHasData = isDataFolder(program.parent_path());
    }
    return chooseDataRoot(probe);
}

}  // namespace

const DataRoot& dataRoot() {
    static const DataRoot root = probeDataRoot();
    return root;
}

std::string dataPath(std::string_view relative) { return joinDataPath(dataRoot().folder, relative); }

std::string userCacheFile(std::string_view name) {
    const std::string folder = chooseCacheFolder(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"));
    if (folder.empty()) return {};
    std::error_code error;
    fs::create_directories(folder, error);  // a folder that cannot be made fails the write, which says so
    return joinDataPath(folder, name);
}
