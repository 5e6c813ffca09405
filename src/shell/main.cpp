// velkarn: a real-time demo. One window, one music track, about 225 seconds of scenes
// scripted against the music's position; it ends by itself.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "render/gl.h"
#include "render/resources.h"
#include "shell/capture.h"
#include "shell/config.h"
#include "shell/frame_stats.h"
#include "shell/keys.h"
#include "shell/message_box.h"
#include "shell/music.h"
#include "shell/options.h"
#include "shell/shell.h"
#include "timeline/frame.h"

namespace {

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
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (const OptionsResult parsed = parseDemoOptions(argc, argv, demoOptions); !parsed.ok) {
        std::fprintf(stderr, "velkarn: %s\n", parsed.error.c_str());
        return 2;
    }
    if (demoOptions.help) {
        std::fputs(demoUsage(), stdout);
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
