// The demo's own command-line options. They begin with "--" and are taken out of the
// argument list before the resolution arguments are counted, as GLUT does with its own.
// One table describes them: the parser, --help, the manual page and the README's table
// follow it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "program/video.h"

struct DemoOptions {
    std::optional<double> start;             // --start SECONDS
    bool silent = false;                     // --silent
    bool noDialogs = false;                  // --no-dialogs
    bool cues = false;                       // --cues
    bool help = false;                       // --help, -h
    std::string captureDir;                  // --capture DIR
    std::string videoFile;                   // --video FILE.mp4
    std::optional<VideoPreset> videoPreset;  // --video-preset NAME
    std::optional<int> fps;                  // --fps N
    bool frameSteps = false;                 // --frame-steps
    bool vsync = true;                       // --vsync on|off
    std::optional<double> end;               // --end SECONDS
    bool stats = false;                      // --stats [FILE]
    std::string statsFile;
    bool watch = false;  // --watch
};

// A run rendered offline (--capture or --video): no window to show, nothing asked of the
// display, no sound, and nothing drawn before the first frame.
bool offlineRun(const DemoOptions& options);

enum class OptionValue {
    None,      // a flag
    Required,  // after "=" or as the next word, which must not be another option
    Optional,  // --stats: after "=", or the next word unless it is an option or a number
};

struct OptionEntry {
    std::string_view name;       // "--start"
    std::string_view alias;      // another spelling ("-h"), or empty
    std::string_view valueName;  // as --help shows it ("S", "[F]"), empty for flags
    OptionValue value = OptionValue::None;
    std::string_view needs;  // what a value must be, for the error message
    std::string_view help;   // the --help text; '\n' starts a continuation line
    // Stores the value (empty for flags); false when the value is not acceptable.
    bool (*apply)(DemoOptions& options, const std::string& value);
};

// Every option, in --help order.
std::span<const OptionEntry> demoOptionTable();

// The size words before the options, as --help and the manual page describe them.
struct SizeArgument {
    std::string_view words;  // "W H"
    std::string_view help;   // '\n' starts a continuation line
};
std::span<const SizeArgument> sizeArguments();

struct OptionsResult {
    bool ok = true;
    std::string error;  // set when !ok
};

// Parses and removes every "--" option (and "-h") from argv (argc is updated, argv[argc]
// stays null). Other words are left for GLUT and the size arguments.
OptionsResult parseDemoOptions(int& argc, char** argv, DemoOptions& options);

// The text of --help.
std::string demoUsage();
