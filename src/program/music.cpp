// The music clock: playing, seeking and the playback time, or a fixed-step clock offline.
#include "program/music.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/data_root.h"
#include "base/message_box.h"
#include "program/audio.h"
#include "program/run_settings.h"

namespace {

struct FixedStepClock {
    bool active = false;
    double start = 0.0;
    int fps = 30;
    std::int64_t frame = 0;
};
FixedStepClock fixedStep;

}  // namespace

void initMusic() {
    if (!runSettings().silent && !fixedStep.active && !audioInitDevice()) {
        showErrorBox("Bass Init");
        std::fprintf(stderr,
                     "velkarn: no sound device could be opened (%s); the demo plays on a silent clock "
                     "(--silent skips the device)\n",
                     audioDeviceError());
    }
    const std::string music = dataPath(kMusicFileName);
    if (!audioOpenStream(music.c_str())) {
        showErrorBox("file?");
        std::error_code error;
        const bool missing = !std::filesystem::exists(music, error);
        const char* const where = dataRoot().installed
                                      ? "is missing"
                                      : "is missing from the working directory (the build makes it in build/run)";
        std::fprintf(stderr, "velkarn: the music file %s %s; the demo plays on a silent clock\n", music.c_str(),
                     missing ? where : "cannot be read as MP3");
    }
}

void playMusic() {
    if (runSettings().startSeconds > 0.0) audioSetPositionBytes(audioSecondsToBytes(runSettings().startSeconds));
    audioPlay();
}

float musicTime() {
    if (fixedStep.active) {
        return static_cast<float>(fixedStep.start + static_cast<double>(fixedStep.frame) / fixedStep.fps);
    }
    return static_cast<float>(audioBytesToSeconds(audioPositionBytes()));
}

std::uint64_t seekTargetBytes(std::uint64_t lengthBytes, float x) {
    const double product = static_cast<double>(lengthBytes) * (static_cast<double>(x) / 11.0);
    return product > 0.0 ? static_cast<std::uint64_t>(product) : 0;
}

void seekMusic(float x) {
    const std::uint64_t target = seekTargetBytes(audioLengthBytes(), x);
    if (fixedStep.active) {
        // Capture runs follow their own clock: restart it at the new position.
        fixedStep.start = audioBytesToSeconds(target);
        fixedStep.frame = 0;
    }
    audioSetPositionBytes(target);
}

void useFixedStepClock(double startSeconds, int framesPerSecond) {
    fixedStep = FixedStepClock{true, startSeconds, framesPerSecond > 0 ? framesPerSecond : 30, 0};
}

bool fixedStepClockActive() { return fixedStep.active; }
void advanceFixedStepClock() { ++fixedStep.frame; }
std::int64_t fixedStepFrameIndex() { return fixedStep.frame; }
