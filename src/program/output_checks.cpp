// Checks made before a run writes anything: that the capture folder and the video file can
// be written.
#include "program/output_checks.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool writable(const fs::path& path, int mode) { return ::access(path.c_str(), mode) == 0; }

}  // namespace

std::string fileWriteProblem(const std::string& path) {
    std::error_code error;
    if (fs::is_directory(path, error)) return path + " is a folder";
    if (fs::exists(path, error)) return writable(path, W_OK) ? "" : path + " cannot be written";
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, error)) return "the folder " + folder.string() + " does not exist";
    if (!writable(folder, W_OK | X_OK)) return "the folder " + folder.string() + " cannot be written";
    return {};
}

std::string captureFolderProblem(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, error)) return "cannot make the capture folder " + folder;
    if (!writable(folder, W_OK | X_OK)) return "the capture folder " + folder + " cannot be written";
    std::size_t frames = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("frame-") && name.ends_with(".png")) ++frames;
    }
    if (frames > 0) {
        return "the capture folder " + folder + " holds " + std::to_string(frames) +
               " frame-*.png files of an earlier capture; remove them or choose another folder";
    }
    return {};
}

std::string videoNameProblem(const std::string& file) {
    std::string extension = fs::path(file).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".mp4") return {};
    return "--video writes an MP4 file (H.264 with AAC sound): give a name ending in .mp4, not " + file;
}
