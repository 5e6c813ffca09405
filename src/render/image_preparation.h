// Start-up's images decoded and their mip levels built on worker threads, while the main
// thread goes on loading; only the GL upload stays with the main thread. Images are taken
// by name, in any order; one that no worker has begun is prepared by the caller itself, so
// a taker never waits on work that is not under way.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "render/mip_chain.h"

struct PreparedImage {
    MipChain chain;     // no levels when the file could not be used
    std::string error;  // why, then: the decoder's message or "unsupported pixel layout or size"
};

// Decodes the file and builds its mip levels on the calling thread.
PreparedImage prepareImage(const std::string& path, int maxTextureSide);

struct ImagePreparation {
    enum class Stage { Waiting, Working, Ready, Taken };
    struct Job {
        std::string name;  // as the loader is asked for it
        std::string path;  // where it is read
        Stage stage = Stage::Waiting;
        PreparedImage result;
    };

    std::mutex lock;
    std::condition_variable changed;
    std::vector<Job> jobs;  // in the order they are wanted
    int maxTextureSide = 0;
    bool stopping = false;
    // Declared last: joined before the rest is torn down, also at an exit mid-loading.
    std::vector<std::jthread> workers;  // joined when cleared

    ~ImagePreparation();
};
extern ImagePreparation imagePreparation;

// Prepared and not yet taken: the workers rest at this many, so that the pictures in memory
// stay a few even when the main thread is slow to take them.
inline constexpr std::size_t kMaxReadyImages = 6;

// Starts one worker per core, if none run yet, with the driver's largest texture side.
void startPreparingImages(int maxTextureSide);
// Queues files (name, path) not queued before, in this order.
void prepareImagesAhead(const std::vector<std::string>& names, const std::vector<std::string>& paths);
// The prepared image for the name: waits while a worker has it in hand; with no worker on
// it, prepares it here from path. Each name is handed out once.
PreparedImage takePreparedImage(const std::string& name, const std::string& path, int maxTextureSide);
// Ends the workers once their images in hand are done; anything not taken is dropped.
void stopPreparingImages();
