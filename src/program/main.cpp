// velkarn: a real-time demo. One window, one music track, about 225 seconds of scenes
// scripted against the music's position; it ends by itself.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/config.h"
#include "base/cue_times.h"
#include "base/data_root.h"
#include "base/demo_clock.h"
#include "base/frame_stats.h"
#include "base/gl.h"
#include "base/message_box.h"
#include "program/capture.h"
#include "program/glut_errors.h"
#include "program/keys.h"
#include "program/music.h"
#include "program/options.h"
#include "program/output_checks.h"
#include "program/resources.h"
#include "program/run_settings.h"
#include "program/shell.h"
#include "program/stop_signals.h"
#include "program/swap_control.h"
#include "program/video.h"
#include "program/watch.h"
#include "timeline/frame.h"
#include "timeline/tuning.h"

namespace {

// A problem found before the run: one line, and the run does not start.
bool refuse(const std::string& problem) {
    std::fprintf(stderr, "velkarn: %s\n", problem.c_str());
    return false;
}

// --video: the run is rendered at a fixed step from --start to --end and piped to
// ffmpeg. Problems that would only show after loading are caught here.
bool prepareVideo(const DemoOptions& options, RunSettings& run) {
    VideoSettings& video = run.video;
    video.file = options.videoFile;
    video.fps = options.fps.value_or(60);
    video.preset = options.videoPreset.value_or(VideoPreset::Quality);
    video.startSeconds = run.startSeconds;
    video.endSeconds = run.endSeconds.value_or(kDemoEndTime);
    if (const std::string problem = videoNameProblem(video.file); !problem.empty()) return refuse(problem);
    if (!programOnPath(video.encoder, std::getenv("PATH"))) {
        return refuse("--video needs the " + video.encoder +
                      " program, which is not on the PATH (scripts/install-deps.sh offline installs it)");
    }
    if (const std::string problem = fileWriteProblem(video.file); !problem.empty()) {
        return refuse("cannot write the video: " + problem);
    }
    if (const std::string music = dataPath(kMusicFileName); std::filesystem::is_regular_file(music)) {
        video.musicFile = music;
    } else {
        std::fprintf(stderr, "velkarn: warning: %s is missing; the video will have no sound\n", music.c_str());
    }
    useFixedStepClock(video.startSeconds, video.fps);
    return true;
}

// Checks the options and settles the run's settings from them; false after saying why the
// run cannot start.
bool settleRun(const DemoOptions& options) {
    RunSettings run;
    run.offline = offlineRun(options);
    run.silent = options.silent || run.offline;
    run.startSeconds = options.start.value_or(0.0);
    run.endSeconds = options.end;
    run.vsync = options.vsync;
    run.watch = options.watch;
    if (options.noDialogs || options.silent || run.offline) dialogsEnabled = false;
    demoClock.frameSteps = options.frameSteps;
    if (run.startSeconds > kDemoEndTime) {
        char text[120];
        std::snprintf(text, sizeof text, "--start %g is past the end of the demo (%g s): nothing to show",
                      run.startSeconds, static_cast<double>(kDemoEndTime));
        return refuse(text);
    }
    // Every run ends after its last frame at or before --end, and the demo at kDemoEndTime.
    if (run.endSeconds && *run.endSeconds > kDemoEndTime) {
        std::fprintf(stderr, "velkarn: warning: --end %g is past the end of the demo; the run ends at %g s\n",
                     *run.endSeconds, static_cast<double>(kDemoEndTime));
        run.endSeconds = kDemoEndTime;
    }
    if (options.stats) {
        if (!options.statsFile.empty()) {
            if (const std::string problem = fileWriteProblem(options.statsFile); !problem.empty()) {
                return refuse("cannot write the statistics file: " + problem);
            }
        }
        if (!frameStats.enable(options.statsFile)) {
            return refuse("cannot write the statistics file " + options.statsFile);
        }
    }
    if (!options.captureDir.empty()) {
        if (const std::string problem = captureFolderProblem(options.captureDir); !problem.empty()) {
            return refuse(problem);
        }
        run.captureDirectory = options.captureDir;
        useFixedStepClock(run.startSeconds, options.fps.value_or(30));
    }
    if (!options.videoFile.empty() && !prepareVideo(options, run)) return false;
    settleRunSettings(std::move(run));
    return true;
}

// A real-time run asks the display to wait for its refresh (or, --vsync off, not to);
// offline runs draw at their own pace and ask nothing.
void setUpVerticalSync() {
    const RunSettings& run = runSettings();
    if (run.offline) {
        frameStats.note(run.captureDirectory.empty() ? "vsync: not asked (video)" : "vsync: not asked (capture)");
        return;
    }
    const SwapResult result = requestSwapInterval(run.vsync);
    frameStats.note("vsync: " + result.report);
    if (!run.vsync && result.interval != 0) {
        std::fprintf(stderr, "velkarn: warning: --vsync off could not be set: %s\n", result.report.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    installStopSignals();
    // A file-size limit (ulimit -f) then fails the write that passes it, which is reported
    // like a full disk, instead of killing the process with a core dump.
    std::signal(SIGXFSZ, SIG_IGN);
    DemoOptions options;
    if (const OptionsResult parsed = parseDemoOptions(argc, argv, options); !parsed.ok) {
        std::fprintf(stderr, "velkarn: %s\n", parsed.error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(demoUsage().c_str(), stdout);
        return 0;
    }
    if (options.cues) {
        std::fputs(cueTableText().c_str(), stdout);
        return 0;
    }
    if (!settleRun(options)) return 1;

    reportGlutErrors();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    readConfigFile(kConfigFileName);
    applyResolutionArguments(argc, argv);
    if (!pictureSizeUsable(screen.screenWidth, screen.screenHeight)) {
        std::fprintf(stderr,
                     "velkarn: a picture of %d by %d pixels cannot be shown; give a size from 16 to 8192 in %s or on "
                     "the command line\n",
                     screen.screenWidth, screen.screenHeight, kConfigFileName);
        return 1;
    }
    openDisplay();
    setUpVerticalSync();

    if (runSettings().watch) startWatching();
    loadResources(!runSettings().offline);
    if (const double start = runSettings().startSeconds; start > 0.0) prerollTimeline(static_cast<float>(start));
    // After the pre-roll, so the music does not run ahead of the first frame while it works.
    playMusic();

    glutReshapeFunc(reshape);
    glutDisplayFunc(displayFrame);
    glutKeyboardFunc(keyboard);
    glutSpecialFunc(specialKey);
    glutIdleFunc(idle);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glutMainLoop();
    return 0;
}
