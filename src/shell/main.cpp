// velkarn: a real-time demo. One window, one music track, about 225 seconds of scenes
// scripted against the music's position; it ends by itself.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "render/gl.h"
#include "render/resources.h"
#include "shell/capture.h"
#include "shell/config.h"
#include "shell/demo_clock.h"
#include "shell/frame_stats.h"
#include "shell/keys.h"
#include "shell/message_box.h"
#include "shell/music.h"
#include "shell/options.h"
#include "shell/shell.h"
#include "shell/video.h"
#include "shell/watch.h"
#include "timeline/frame.h"

namespace {

// --video: the run is rendered at a fixed step from --start to --end (at most the
// demo's end) and piped to ffmpeg. Problems that would only show after loading are
// caught here.
bool prepareVideo() {
    videoSettings.file = demoOptions.videoFile;
    videoSettings.fps = demoOptions.fps.value_or(60);
    videoSettings.startSeconds = musicSettings.startSeconds;
    videoSettings.endSeconds = std::min(demoOptions.end.value_or(kDemoEndTime), static_cast<double>(kDemoEndTime));
    if (videoSettings.startSeconds >= kDemoEndTime) {
        std::fprintf(stderr, "velkarn: --start is past the end of the demo (%g s); no video to make\n",
                     static_cast<double>(kDemoEndTime));
        return false;
    }
    if (!programOnPath(videoSettings.encoder, std::getenv("PATH"))) {
        std::fprintf(stderr, "velkarn: --video needs the %s program, which is not on the PATH (scripts/install-deps.sh installs it)\n",
                     videoSettings.encoder.c_str());
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(videoSettings.file).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "velkarn: the folder %s of the video does not exist\n", folder.string().c_str());
        return false;
    }
    if (std::filesystem::is_regular_file(kMusicFileName)) {
        videoSettings.musicFile = kMusicFileName;
    } else {
        std::fprintf(stderr, "velkarn: warning: %s is missing; the video will have no sound\n", kMusicFileName);
    }
    useFixedStepClock(videoSettings.startSeconds, videoSettings.fps);
    return true;
}

bool applyOptions() {
    const bool capture = !demoOptions.captureDir.empty() || !demoOptions.videoFile.empty();
    if (demoOptions.noDialogs || demoOptions.silent || capture) dialogsEnabled = false;
    musicSettings.silent = demoOptions.silent || capture;
    musicSettings.startSeconds = demoOptions.start.value_or(0.0);
    if (demoOptions.stats) frameStats.enable(demoOptions.statsFile);
    if (!demoOptions.captureDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(demoOptions.captureDir, error);
        if (!std::filesystem::is_directory(demoOptions.captureDir)) {
            std::fprintf(stderr, "velkarn: cannot make the capture directory %s\n", demoOptions.captureDir.c_str());
            return false;
        }
        captureSettings.directory = demoOptions.captureDir;
        useFixedStepClock(musicSettings.startSeconds, demoOptions.fps.value_or(30));
    }
    if (!demoOptions.videoFile.empty() && !prepareVideo()) return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (const OptionsResult parsed = parseDemoOptions(argc, argv, demoOptions); !parsed.ok) {
        std::fprintf(stderr, "velkarn: %s\n", parsed.error.c_str());
        return 2;
    }
    if (demoOptions.help) {
        std::fputs(demoUsage().c_str(), stdout);
        return 0;
    }
    if (!applyOptions()) return 1;

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    readConfigFile(kConfigFileName);
    applyResolutionArguments(argc, argv);
    if (!pictureSizeUsable(screenWidth, screenHeight)) {
        std::fprintf(stderr, "velkarn: a picture of %d by %d pixels cannot be shown; give a size from 16 to 8192 in %s or on the command line\n",
                     screenWidth, screenHeight, kConfigFileName);
        return 1;
    }
    openDisplay();

    if (demoOptions.watch) startWatching();
    loadResources();

    glutReshapeFunc(reshape);
    glutDisplayFunc(displayFrame);
    glutKeyboardFunc(keyboard);
    glutSpecialFunc(specialKey);
    glutIdleFunc(idle);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glutMainLoop();
    return 0;
}
