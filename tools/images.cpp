// Writes every generated picture of the run directory, several at a time.
#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "assets.h"
#include "canvas.h"
#include "image_intro.h"
#include "image_pictures.h"

void generateImages(const std::filesystem::path& runDir) {
    const std::filesystem::path dat = runDir / "dat";
    constexpr int kWidth = 1920;
    constexpr int kHeight = 1080;
    std::vector<std::function<void()>> jobs = {
        [&] { saveJpeg(makeOverlayTexture(1024), dat / "azor03.jpg"); },
        [&] { saveJpeg(makeParticleSprite(64), dat / "partikl1.jpg"); },
        [&] { saveJpeg(makeDarkBackground(kWidth, kHeight), dat / "black.jpg"); },
        [&] { saveJpeg(makeGradient(kWidth, kHeight), dat / "gradient2.jpg"); },
        [&] { saveJpeg(makeDuskTint(kWidth, kHeight), dat / "dusk.jpg"); },
        [&] { saveJpeg(makeBandMask(kWidth, kHeight), dat / "band.jpg"); },
        [&] { saveJpeg(makeBlobBackground(kWidth, kHeight), dat / "background1.jpg"); },
        [&] { saveJpeg(makeBlobRoom(kWidth, kHeight), dat / "blob-room.jpg"); },
        [&] { saveJpeg(makeCreditsPicture(kWidth, kHeight), dat / "background1_1920credits.jpg"); },
        [&] { saveJpeg(makeEndLogoPicture(kWidth, kHeight), dat / "logoend.jpg"); },
        [&] { saveJpeg(makeGreetingsPicture(kWidth, kHeight), dat / "greetz-itself.jpg"); },
    };
    for (int i = 1; i <= kIntroFrameCount; ++i) {
        jobs.emplace_back([&dat, i] {
            savePng(makeIntroFrame(i, kWidth, kHeight), dat / ("intro_oneeyewhore_" + std::to_string(i) + ".png"));
        });
    }

    // Every picture depends only on its own seed, so the files come out the same
    // whichever worker makes them; two workers halve the time (PNG packing dominates).
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto work = [&] {
        for (std::size_t job = next++; job < jobs.size(); job = next++) {
            try {
                jobs[job]();
            } catch (...) {
                const std::lock_guard<std::mutex> lock(failureLock);
                if (!failure) failure = std::current_exception();
            }
        }
    };
    const unsigned workers = std::max(1u, std::min(std::thread::hardware_concurrency(), 4u));
    {
        std::vector<std::jthread> threads;
        for (unsigned i = 1; i < workers; ++i) threads.emplace_back(work);
        work();
    }
    if (failure) std::rethrow_exception(failure);
}
