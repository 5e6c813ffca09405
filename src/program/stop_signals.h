// Ctrl+C (SIGINT) and SIGTERM end the demo at once, in every kind of run: while loading,
// playing, capturing or encoding a video. A stopped run leaves nothing half-written: the
// file it was writing is removed and the video encoder is killed, then the signal takes
// its default course, so whoever sent it sees the process ended by it. In game mode the
// stop waits for the next frame or loading step, which first leaves game mode.
#pragma once

#include <sys/types.h>

// Installs the handlers. A signal the process inherited as ignored (SIGINT in a
// background job of a script, say) stays ignored.
void installStopSignals();

// While set, a stop kills this child process and waits for it; -1: none.
void killChildOnStop(pid_t child);
// While set, a stop removes this file; nullptr: none. A path too long to keep is not
// kept (the file is then left, as before these handlers).
void removeFileOnStop(const char* path);

// For game mode, whose display mode a handler cannot put back: from now on a stop signal is
// only recorded, and carryOutDeferredStop (called by the main loop and between the loading
// steps) calls leave, then stops as the handler would. A second stop signal before that
// ends the process at once. nullptr: stops are carried out in the handler again.
void deferStopsTo(void (*leave)());
void carryOutDeferredStop();
