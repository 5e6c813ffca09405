// Ends the process. In sanitizer builds the leak check runs first, while the GL
// driver's libraries are still loaded: the window system unloads them at exit, and
// leaks inside unloaded code can neither be attributed nor suppressed.
#pragma once

#include <cstdio>

[[noreturn]] void exitProcess(int status);
// The same check for a process that returns from main.
void checkLeaksNow();

// The one way out on a fatal error: prints the message to the stream (standard
// output for the messages the demo has always printed there), flushes it and
// exits with status 1.
[[noreturn]] void exitWithMessage(std::FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));
