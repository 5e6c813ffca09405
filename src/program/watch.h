// Live reload (--watch): the files in dat/ that the demo can take in again while it
// runs are polled a few times a second, and each one that changed is reloaded.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

enum class WatchKind { Tuning, LayerList, Shader };

// What a poll compares: a file that appears, disappears, or changes its modification
// time or size counts as changed.
struct FileStamp {
    bool exists = false;
    std::int64_t modifiedNs = 0;
    std::uintmax_t size = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const std::string& path);

struct WatchedFile {
    std::string path;
    WatchKind kind = WatchKind::Tuning;
    FileStamp stamp;  // as last seen
};

// The four tuning files, the layer list and the eleven shader sources, with their
// stamps as they are now.
std::vector<WatchedFile> demoWatchList();

// Indices of the files whose stamp differs from the last poll; their stamps are updated.
std::vector<std::size_t> pollChangedFiles(std::vector<WatchedFile>& files);

// Polls are spaced at least this far apart, so a fast frame loop costs a few stat calls
// per second.
inline constexpr std::chrono::milliseconds kWatchInterval{250};
// True when a poll is due at now; then last becomes now.
bool watchPollDue(std::chrono::steady_clock::time_point& last, std::chrono::steady_clock::time_point now);

// Takes the stamps of the watched files before the resources are loaded, so an edit
// made while they load is reloaded once the frames run.
void startWatching();
// Called from the idle callback when --watch is on: polls when due and reloads the
// changed files (tuning files as F1 does, the layer list, the affected shader programs).
void pollWatchedFiles();
