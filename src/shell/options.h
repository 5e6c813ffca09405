// The demo's own command-line options. They begin with "--" and are taken out of the
// argument list before the resolution arguments are counted, as GLUT does with its own.
#pragma once

#include <optional>
#include <string>

struct DemoOptions {
    std::optional<double> start;  // --start SECONDS
    bool silent = false;          // --silent
    bool noDialogs = false;       // --no-dialogs
    bool help = false;            // --help
    std::string captureDir;       // --capture DIR
    std::string videoFile;        // --video FILE.mp4
    std::optional<int> fps;       // --fps N
    std::optional<double> end;    // --end SECONDS
    bool stats = false;           // --stats [FILE.csv]
    std::string statsFile;
    bool watch = false;           // --watch
};

extern DemoOptions demoOptions;

struct OptionsResult {
    bool ok = true;
    std::string error;  // set when !ok
};

// Parses and removes every "--" option from argv (argc is updated, argv[argc] stays
// null). Values follow as the next word or after "=".
OptionsResult parseDemoOptions(int& argc, char** argv, DemoOptions& options);

// The text of --help.
const char* demoUsage();
