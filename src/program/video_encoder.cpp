// The encoder process of a --video run: spawned with a pipe on its standard input, fed
// one raw picture per frame, and waited for at the end. Its exit status decides whether
// the video exists.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/file_writes.h"
#include "program/capture.h"
#include "program/run_settings.h"
#include "program/stop_signals.h"
#include "program/video.h"
#include "program/video_encoder.h"

extern char** environ;

namespace {

struct EncoderProcess {
    pid_t pid = -1;
    int pipe = -1;  // write end of the encoder's standard input
    std::string partialFile;
    std::size_t frameBytes = 0;
    std::int64_t framesSent = 0;
    std::int64_t framesTotal = 0;
    bool finished = false;
    std::chrono::steady_clock::time_point startedAt{}, lastProgress{};
    std::size_t progressWidth = 0;
};
EncoderProcess encoder;

void removePartial() {
    removeFileOnStop(nullptr);
    if (encoder.partialFile.empty()) return;
    std::error_code ignored;
    std::filesystem::remove(encoder.partialFile, ignored);
}

// Closes the pipe and waits for the encoder; true when it exited with status 0.
bool closeAndWait() {
    if (encoder.pipe >= 0) {
        ::close(encoder.pipe);
        encoder.pipe = -1;
    }
    if (encoder.pid <= 0) return false;
    int status = 0;
    pid_t waited = 0;
    do {
        waited = ::waitpid(encoder.pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    encoder.pid = -1;
    killChildOnStop(-1);
    if (waited < 0) return false;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    if (WIFEXITED(status)) {
        std::fprintf(stderr, "velkarn: %s ended with status %d\n", runSettings().video.encoder.c_str(),
                     WEXITSTATUS(status));
    } else if (WIFSIGNALED(status)) {
        std::fprintf(stderr, "velkarn: %s was ended by signal %d\n", runSettings().video.encoder.c_str(),
                     WTERMSIG(status));
    }
    return false;
}

// Any exit that did not finish the video (a fatal error elsewhere, a key) stops the
// encoder and leaves no partial file behind.
void abandonAtExit() {
    if (encoder.finished || encoder.pid <= 0) return;
    encoder.finished = true;
    if (encoder.pipe >= 0) {
        ::close(encoder.pipe);
        encoder.pipe = -1;
    }
    ::kill(encoder.pid, SIGTERM);
    int status = 0;
    while (::waitpid(encoder.pid, &status, 0) < 0 && errno == EINTR) {
    }
    encoder.pid = -1;
    killChildOnStop(-1);
    removePartial();
}

void showProgress(float demoTime, bool last) {
    const auto now = std::chrono::steady_clock::now();
    // A few updates per second are enough to watch; more would flood a log file.
    if (!last && encoder.framesSent > 1 && now - encoder.lastProgress < std::chrono::milliseconds(250)) return;
    encoder.lastProgress = now;
    const double elapsed = std::chrono::duration<double>(now - encoder.startedAt).count();
    const double fps = elapsed > 0.0 ? static_cast<double>(encoder.framesSent) / elapsed : 0.0;
    // The encoder writes as it goes, so the partial file's size is the size so far.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(encoder.partialFile, error);
    const std::int64_t bytes = error ? -1 : static_cast<std::int64_t>(size);
    std::string line = formatVideoProgress(encoder.framesSent, encoder.framesTotal, demoTime, fps, bytes);
    // Blank out what a longer previous line left on the terminal.
    const std::size_t width = line.size();
    if (width < encoder.progressWidth) line.append(encoder.progressWidth - width, ' ');
    encoder.progressWidth = width;
    std::fprintf(stderr, "\r%s%s", line.c_str(), last ? "\n" : "");
    std::fflush(stderr);
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool videoRequested() { return !runSettings().video.file.empty() && !encoder.finished; }
bool videoStarted() { return encoder.pid > 0; }
bool videoComplete() { return encoder.framesTotal > 0 && encoder.framesSent >= encoder.framesTotal; }

bool beginVideo(int width, int height) {
    if (width <= 0 || height <= 0 || runSettings().video.fps < 1) {
        std::fprintf(stderr, "velkarn: a video of %d by %d pixels at %d fps cannot be made\n", width, height,
                     runSettings().video.fps);
        return false;
    }
    // A dead encoder must show up as a write error, not end this process.
    std::signal(SIGPIPE, SIG_IGN);
    // Until the video is complete the encoder writes under a hidden name beside the final
    // file, so a failed run never leaves a half video under the asked-for name.
    encoder.partialFile = partialFileName(runSettings().video.file, static_cast<long>(::getpid()));
    encoder.frameBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    encoder.framesTotal = offlineFrameCount(runSettings().video.startSeconds, runSettings().video.endSeconds,
                                            runSettings().video.fps);

    const std::vector<std::string> args = videoEncoderArguments(runSettings().video, width, height,
                                                                encoder.partialFile);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int fds[2] = {-1, -1};
    // Close-on-exec: the encoder must hold only its own copy (its standard input), or it
    // would never see the end of the frames.
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "velkarn: cannot make a pipe for %s: %s\n", args[0].c_str(), std::strerror(errno));
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[0]);
    if (spawned != 0) {
        ::close(fds[1]);
        std::fprintf(stderr, "velkarn: cannot start %s: %s (is it installed?)\n", args[0].c_str(),
                     std::strerror(spawned));
        return false;
    }
    encoder.pid = pid;
    encoder.pipe = fds[1];
    // Stopped by a signal, the run takes the encoder and its partial file with it.
    killChildOnStop(pid);
    removeFileOnStop(encoder.partialFile.c_str());
    encoder.startedAt = std::chrono::steady_clock::now();
    encoder.lastProgress = encoder.startedAt;
    static bool exitHookSet = false;
    if (!exitHookSet) {
        std::atexit(abandonAtExit);
        exitHookSet = true;
    }
    return true;
}

bool writeVideoFrame(std::span<const std::uint8_t> rgbaBottomUp, float demoTime) {
    if (encoder.pipe < 0) return false;
    if (rgbaBottomUp.size() != encoder.frameBytes) {
        std::fprintf(stderr, "velkarn: a video frame of %zu bytes does not fit a picture of %zu\n", rgbaBottomUp.size(),
                     encoder.frameBytes);
        return false;
    }
    if (!writeAll(encoder.pipe, rgbaBottomUp.data(), rgbaBottomUp.size())) {
        std::fprintf(stderr, "\nvelkarn: %s stopped taking frames: %s\n", runSettings().video.encoder.c_str(),
                     std::strerror(errno));
        return false;
    }
    ++encoder.framesSent;
    showProgress(demoTime, videoComplete());
    return true;
}

bool finishVideo() {
    if (runSettings().video.file.empty() || encoder.finished) return true;
    encoder.finished = true;
    if (encoder.pid <= 0) {
        std::fprintf(stderr, "velkarn: no video frames were rendered; %s was not written\n",
                     runSettings().video.file.c_str());
        return false;
    }
    const bool complete = videoComplete();
    if (!complete) {
        // Stopped early: the encoder is told to stop rather than to finish the file.
        ::kill(encoder.pid, SIGTERM);
    }
    const bool encoderOk = closeAndWait();
    if (!complete || !encoderOk) {
        removePartial();
        if (!complete) {
            std::fprintf(stderr, "\nvelkarn: the video stopped after %lld of %lld frames; %s was not written\n",
                         static_cast<long long>(encoder.framesSent), static_cast<long long>(encoder.framesTotal),
                         runSettings().video.file.c_str());
        } else {
            std::fprintf(stderr, "velkarn: %s failed; %s was not written\n", runSettings().video.encoder.c_str(),
                         runSettings().video.file.c_str());
        }
        return false;
    }
    std::error_code error;
    std::filesystem::rename(encoder.partialFile, runSettings().video.file, error);
    if (error) {
        std::fprintf(stderr, "velkarn: cannot move the video to %s: %s\n", runSettings().video.file.c_str(),
                     error.message().c_str());
        removePartial();
        return false;
    }
    removeFileOnStop(nullptr);
    // The encoder holds back its last frames and the index until it ends: the progress
    // line's size falls short of the file's.
    const std::uintmax_t size = std::filesystem::file_size(runSettings().video.file, error);
    std::printf("velkarn: wrote %s (%lld frames at %d fps, %.1f MB)\n", runSettings().video.file.c_str(),
                static_cast<long long>(encoder.framesTotal), runSettings().video.fps,
                error ? 0.0 : static_cast<double>(size) / 1e6);
    return true;
}

void resetVideoEncoder() {
    if (encoder.pid > 0) abandonAtExit();
    encoder = EncoderProcess{};
}
