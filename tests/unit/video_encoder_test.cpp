// The encoder process with stand-in programs: how the pipe, the exit status and the
// partial file decide whether a video exists. (No encoder at all, and one that stops
// reading: e2e/video.sh.)
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "program/run_settings.h"
#include "program/video.h"
#include "program/video_encoder.h"
#include "testing/scratch_files.h"

namespace fs = std::filesystem;

TEST(VideoEncoderProcess, OnlyACompleteVideoFromASuccessfulEncoderIsWritten) {
    struct Case {
        const char* what;
        const char* script;  // the stand-in's body, "$out" its last argument
        int width, height, frameHeight, frames;
        bool begins, takesFrames, written;
    };
    const Case cases[] = {
        {"complete", "cat > \"$out\"", 8, 6, 6, 3, true, true, true},
        {"encoder fails", "cat > \"$out\"; exit 3", 8, 6, 6, 3, true, true, false},
        {"stopped early", "cat > \"$out\"", 8, 6, 6, 2, true, true, false},
        {"frame of the wrong size", "cat > \"$out\"", 8, 6, 5, 1, true, false, false},
        {"no picture", "cat > \"$out\"", 0, 6, 6, 0, false, false, false},
    };
    const testfiles::ScratchDir scratch;
    const fs::path dir = scratch.path() / "out";
    const fs::path encoder = scratch.path() / "encoder";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir);
        fs::create_directories(dir);
        testfiles::writeFile(encoder, std::string("#!/bin/sh\nfor out; do :; done\n") + c.script + "\n");
        fs::permissions(encoder, fs::perms::owner_all);
        resetVideoEncoder();
        RunSettings run;
        run.video.encoder = encoder.string();
        run.video.file = (dir / "clip.mp4").string();
        run.video.endSeconds = 0.2;
        run.video.fps = 10;  // three frames: 0, 0.1 and 0.2 s
        settleRunSettings(run);
        EXPECT_EQ(beginVideo(c.width, c.height), c.begins);
        bool sent = c.begins;
        const std::vector<std::uint8_t> frame(static_cast<std::size_t>(c.width) * c.frameHeight * 4, 128);
        for (int i = 0; sent && i < c.frames; ++i) sent = writeVideoFrame(frame, static_cast<float>(i) / 10.0f);
        EXPECT_EQ(sent, c.takesFrames);
        EXPECT_EQ(finishVideo(), c.written);
        const std::size_t files = static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
        EXPECT_EQ(files, c.written ? 1u : 0u) << "no partial file is left behind";
        if (c.written) {
            EXPECT_EQ(fs::file_size(dir / "clip.mp4"), 3u * 8 * 6 * 4) << "every byte went through the pipe";
        }
    }
    resetVideoEncoder();
    settleRunSettings({});
}
