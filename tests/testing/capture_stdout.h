// Runs a function with standard output redirected into a string.
#pragma once

#include <cstdio>
#include <functional>
#include <iostream>
#include <string>

#include <unistd.h>

namespace testing_support {

inline std::string captureStdout(const std::function<void()>& body) {
    std::cout.flush();
    std::fflush(stdout);
    std::FILE* sink = std::tmpfile();
    const int saved = dup(fileno(stdout));
    dup2(fileno(sink), fileno(stdout));
    body();
    std::cout.flush();
    std::fflush(stdout);
    dup2(saved, fileno(stdout));
    close(saved);
    std::string text;
    std::rewind(sink);
    for (int c = std::fgetc(sink); c != EOF; c = std::fgetc(sink)) text.push_back(static_cast<char>(c));
    std::fclose(sink);
    return text;
}

}  // namespace testing_support
