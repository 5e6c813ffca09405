// The ways out of the process: the plain exit, and the fatal message and exit.
#include "base/process_exit.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

void checkLeaksNow() {
#if defined(__SANITIZE_ADDRESS__)
    std::fflush(nullptr);
    __lsan_do_leak_check();
#endif
}

void exitProcess(int status) {
    checkLeaksNow();
    std::exit(status);
}

void exitWithMessage(std::FILE* stream, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stream, format, args);
    va_end(args);
    std::fflush(stream);
    std::exit(1);
}
