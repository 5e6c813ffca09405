// The --watch list of files and the poll that tells which of them changed.
#include "program/watch.h"

#include <sys/stat.h>

#include "base/data_root.h"
#include "render/layer_list.h"
#include "render/reload.h"
#include "timeline/tuning.h"

FileStamp stampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    const std::int64_t ns = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return {true, ns, static_cast<std::uintmax_t>(info.st_size)};
}

std::vector<WatchedFile> demoWatchList() {
    std::vector<WatchedFile> files;
    for (const char* path : {kNumListPath, kSizeListPath, kNegativeListPath, kKszakListPath}) {
        files.push_back({path, WatchKind::Tuning, {}});
    }
    files.push_back({kBlendLayerFile, WatchKind::LayerList, {}});
    for (const std::string& path : shaderSourceFiles()) files.push_back({path, WatchKind::Shader, {}});
    for (WatchedFile& file : files) file.stamp = stampOf(dataPath(file.path));
    return files;
}

std::vector<std::size_t> pollChangedFiles(std::vector<WatchedFile>& files) {
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileStamp now = stampOf(dataPath(files[i].path));
        if (now == files[i].stamp) continue;
        files[i].stamp = now;
        changed.push_back(i);
    }
    return changed;
}

bool watchPollDue(std::chrono::steady_clock::time_point& last, std::chrono::steady_clock::time_point now) {
    if (now - last < kWatchInterval) return false;
    last = now;
    return true;
}
