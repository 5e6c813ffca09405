// Writes that are whole or not at all, and that say why not: a file, a particle-map cache
// and the statistics rows, on a missing folder and past a file-size limit (as on a full
// disk, the write fails part way); and a stop that waits to leave game mode.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/file_writes.h"
#include "base/frame_stats.h"
#include "program/stop_signals.h"
#include "sim/particle_map.h"
#include "testing/scratch_files.h"

namespace {

// What a folder holds, hidden files included.
std::string listing(const std::filesystem::path& folder) {
    std::string names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names += entry.path().filename().string() + " ";
    return names;
}

// In a death-test child: files may grow to `bytes`; a write past it fails with "File too
// large" instead of the signal ending the process.
void limitFileSize(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) std::_Exit(9);
}

TEST(BaseFileWrites, AFileIsWrittenWholeOrNotAtAll) {
    const testfiles::ScratchDir dir;
    const std::string file = dir.file("frame.png");
    EXPECT_EQ(partialFileName(file, 42), dir.file(".frame.png.partial-42"));

    std::string reason;
    ASSERT_TRUE(writeFileWhole(file, partialFileName(file, 1), "first", &reason)) << reason;
    ASSERT_TRUE(writeFileWhole(file, partialFileName(file, 1), "second", &reason)) << reason;
    EXPECT_EQ(testfiles::readFile(file), "second");
    EXPECT_EQ(listing(dir.path()), "frame.png ");

    const std::string nowhere = dir.file("missing/frame.png");
    EXPECT_FALSE(writeFileWhole(nowhere, partialFileName(nowhere, 1), "x", &reason));
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_FALSE(writeParticleCache(nowhere.c_str(), "x", &reason));
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_EQ(listing(dir.path()), "frame.png ");
}

TEST(BaseFileWritesDeathTest, AWritePastTheLimitLeavesTheOldFileAndSaysWhy) {
    const testfiles::ScratchDir dir;
    const std::string file = dir.file("p-particlemap.dat");
    testfiles::writeFile(file, "the old cache");
    EXPECT_EXIT(
        {
            limitFileSize(4096);
            std::string reason;
            const bool written = writeParticleCache(file.c_str(), std::string(100000, 'x'), &reason);
            std::_Exit(!written && reason == "File too large" ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(testfiles::readFile(file), "the old cache");
    EXPECT_EQ(listing(dir.path()), "p-particlemap.dat ");
}

TEST(BaseFileWritesDeathTest, AStatisticsRowThatCannotBeWrittenIsSaidOnce) {
    const testfiles::ScratchDir dir;
    const std::string csv = dir.file("stats.csv");
    EXPECT_EXIT(
        {
            FrameStats stats;
            if (!stats.enable(csv)) std::_Exit(2);
            limitFileSize(static_cast<rlim_t>(std::filesystem::file_size(csv)) + 300);
            int failures = 0;
            for (int frame = 0; frame < 100; ++frame) {
                stats.beginFrame(static_cast<float>(frame));
                if (!stats.endFrame()) ++failures;
            }
            std::_Exit(failures == 1 && !stats.finish() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "^velkarn: cannot write the statistics file .*stats.csv: File too large\n$");
}

}  // namespace

namespace {

void sayLeft() { std::fputs("left game mode\n", stderr); }

// In game mode a stop waits for the main thread: the process runs on after the signal, and
// the next check leaves game mode before the signal ends it. A file being written is still
// removed by the stop.
TEST(ProgramStopSignalsDeathTest, AStopInGameModeLeavesItFirst) {
    const testfiles::ScratchDir dir;
    const std::string partial = dir.file(".frame.partial");
    EXPECT_EXIT(
        {
            installStopSignals();
            deferStopsTo(sayLeft);
            testfiles::writeFile(partial, "half");
            removeFileOnStop(partial.c_str());
            std::raise(SIGINT);
            std::fputs("still running\n", stderr);
            carryOutDeferredStop();
            std::_Exit(3);
        },
        ::testing::KilledBySignal(SIGINT), "^still running\nleft game mode\n$");
    EXPECT_FALSE(std::filesystem::exists(partial));
    // Without game mode the signal ends the process in the handler.
    EXPECT_EXIT(
        {
            installStopSignals();
            std::raise(SIGTERM);
            std::fputs("still running\n", stderr);
            std::_Exit(3);
        },
        ::testing::KilledBySignal(SIGTERM), "^$");
}

}  // namespace
