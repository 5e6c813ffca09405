// The --watch reload driver, run from the idle callback between frames (the GL context
// is current there, so shader programs can be rebuilt).
#include <algorithm>
#include <cstdio>

#include "program/watch.h"
#include "render/reload.h"
#include "timeline/tuning.h"

namespace {

// What --watch looks at, and when it last looked.
struct FileWatch {
    std::vector<WatchedFile> files;
    bool started = false;
    std::chrono::steady_clock::time_point lastPoll;
};
FileWatch fileWatch;

}  // namespace

void startWatching() {
    fileWatch.files = demoWatchList();
    fileWatch.lastPoll = std::chrono::steady_clock::now();
    fileWatch.started = true;
}

void pollWatchedFiles() {
    if (!fileWatch.started) startWatching();
    if (!watchPollDue(fileWatch.lastPoll, std::chrono::steady_clock::now())) return;
    std::vector<WatchedFile>& files = fileWatch.files;
    const std::vector<std::size_t> changed = pollChangedFiles(files);
    if (changed.empty()) return;

    bool tuning = false;
    bool layers = false;
    std::vector<std::size_t> entries;
    for (const std::size_t i : changed) {
        const WatchedFile& file = files[i];
        if (!file.stamp.exists) {
            // Mid-save or deleted: what was loaded from it stays in use.
            std::fprintf(stderr, "%s is gone; what was loaded from it stays\n", file.path.c_str());
            continue;
        }
        switch (file.kind) {
            case WatchKind::Tuning: tuning = true; break;
            case WatchKind::LayerList: layers = true; break;
            case WatchKind::Shader:
                for (const std::size_t entry : shaderEntriesUsing(file.path)) {
                    if (std::find(entries.begin(), entries.end(), entry) == entries.end()) entries.push_back(entry);
                }
                break;
        }
    }
    // Programs first, so a layer list read in the same poll picks up the new ones.
    std::sort(entries.begin(), entries.end());
    for (const std::size_t entry : entries) rebuildShaderEntry(entry);
    if (layers) reloadBlendLayerFile();
    if (tuning) {
        // As F1: all four lists from their first record again.
        reloadTuningFiles();
        std::printf("velkarn: reloaded the tuning files\n");
        std::fflush(stdout);
    }
}
