#include "shell/process_exit.h"

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
