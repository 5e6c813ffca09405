// The stop handlers. Everything they touch is set up before a signal can need it and
// read with async-signal-safe calls only: kill, waitpid, unlink and raise.
#include "program/stop_signals.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <initializer_list>

namespace {

volatile sig_atomic_t stopChild = -1;
// Game mode: a stop is recorded here by the handler and carried out by the main thread.
volatile sig_atomic_t stopsDeferred = 0;
volatile sig_atomic_t deferredStop = 0;
void (*leaveBeforeStop)() = nullptr;
// The path is written only while stopPathSet is 0, so a handler never reads it half-made.
volatile sig_atomic_t stopPathSet = 0;
char stopPath[4096];

// The stop itself: no child, no half-written file, then the signal's default course.
void carryOutStop(int signal) {
    const pid_t child = static_cast<pid_t>(stopChild);
    if (child > 0) {
        ::kill(child, SIGKILL);
        while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    if (stopPathSet != 0) ::unlink(stopPath);
    // SA_RESETHAND has put the default action back; in the handler the signal stays blocked
    // until it returns, and is then delivered again with it.
    ::raise(signal);
}

void onStop(int signal) {
    if (stopsDeferred != 0 && deferredStop == 0) {
        // The display mode can only be put back by the main thread's own calls. A second
        // stop before that finds the default action back and ends the process at once.
        deferredStop = signal;
        return;
    }
    carryOutStop(signal);
}

}  // namespace

void installStopSignals() {
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = onStop;
        sigemptyset(&action.sa_mask);
        // Both stop signals wait while one is handled.
        sigaddset(&action.sa_mask, SIGINT);
        sigaddset(&action.sa_mask, SIGTERM);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    }
}

void killChildOnStop(pid_t child) { stopChild = child > 0 ? child : -1; }

void removeFileOnStop(const char* path) {
    stopPathSet = 0;
    if (path == nullptr || std::strlen(path) >= sizeof stopPath) return;
    std::memcpy(stopPath, path, std::strlen(path) + 1);
    stopPathSet = 1;
}

void deferStopsTo(void (*leave)()) {
    leaveBeforeStop = leave;
    stopsDeferred = leave != nullptr ? 1 : 0;
}

void carryOutDeferredStop() {
    const int signal = static_cast<int>(deferredStop);
    if (signal == 0) return;
    if (leaveBeforeStop != nullptr) leaveBeforeStop();
    std::signal(signal, SIG_DFL);
    carryOutStop(signal);
}
