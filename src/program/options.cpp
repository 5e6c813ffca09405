// The command-line options: their table, parsing with clear errors, and the usage text.
#include "program/options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

bool parseSeconds(const std::string& text, std::optional<double>& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || end == text.c_str() || *end != '\0' || !std::isfinite(value) || value < 0.0 || value > 100000.0) {
        return false;
    }
    out = value;
    return true;
}

bool parseFps(const std::string& text, std::optional<int>& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || value < 1 || value > 1000) return false;
    out = static_cast<int>(value);
    return true;
}

bool setText(std::string& target, const std::string& value) {
    if (value.empty()) return false;
    target = value;
    return true;
}

// A word that reads wholly as a number: a size argument, never a statistics file.
bool isNumber(const std::string& word) {
    char* end = nullptr;
    std::strtod(word.c_str(), &end);
    return !word.empty() && *end == '\0';
}

constexpr std::string_view kSeconds = "a number of seconds from 0 to 100000";

const OptionEntry kOptions[] = {
    {"--start", "", "S", OptionValue::Required, kSeconds,
     "start at S seconds of the music (at most 225), the frame rules\n"
     "of every moment before S run first: the first frame is the one\n"
     "a whole run shows at S",
     [](DemoOptions& o, const std::string& v) { return parseSeconds(v, o.start); }},
    {"--end", "", "S", OptionValue::Required, kSeconds,
     "end the run after its last frame at or before S seconds, at\n"
     "most 225 (--start 60 --end 62 --fps 5 gives 11 frames)",
     [](DemoOptions& o, const std::string& v) { return parseSeconds(v, o.end); }},
    {"--silent", "", "", OptionValue::None, "", "no sound device; the demo follows a silent clock",
     [](DemoOptions& o, const std::string&) { return o.silent = true; }},
    {"--no-dialogs", "", "", OptionValue::None, "", "report errors on standard error only, never in a box",
     [](DemoOptions& o, const std::string&) { return o.noDialogs = true; }},
    {"--capture", "", "D", OptionValue::Required, "a folder",
     "render offline at --fps (default 30), saving D/frame-NNNNNN.png\n"
     "(D must not hold the frames of an earlier capture)",
     [](DemoOptions& o, const std::string& v) { return setText(o.captureDir, v); }},
    {"--video", "", "F.mp4", OptionValue::Required, "a file name ending in .mp4",
     "render offline at --fps (default 60) into an MP4 video (H.264,\n"
     "the music as AAC); needs ffmpeg. Without the music file the\n"
     "video has no sound (a warning says so). F.mp4 is written only\n"
     "when every frame is in",
     [](DemoOptions& o, const std::string& v) { return setText(o.videoFile, v); }},
    {"--video-preset", "", "P", OptionValue::Required, "quality, archive, web or compo",
     "what the --video is for: quality (the default: H.264 at constant\n"
     "quality, AAC 256 kbit/s), archive (near-lossless, full colour\n"
     "resolution, AAC 320 kbit/s), web (twice the size, for a video\n"
     "site's re-encoding, AAC 320 kbit/s), compo (8 Mbit/s at\n"
     "1920x1080, scaled with the size, AAC 192 kbit/s)",
     [](DemoOptions& o, const std::string& v) { return (o.videoPreset = videoPresetNamed(v)).has_value(); }},
    {"--fps", "", "N", OptionValue::Required, "a whole number from 1 to 1000",
     "frames per second of --capture and --video",
     [](DemoOptions& o, const std::string& v) { return parseFps(v, o.fps); }},
    {"--frame-steps", "", "", OptionValue::None, "",
     "step the frame rules once per drawn frame instead of 60 times\n"
     "a second of demo time: the piece as tuned at 60 frames a second\n"
     "only at that rate (slower or faster motion at others)",
     [](DemoOptions& o, const std::string&) { return o.frameSteps = true; }},
    {"--vsync", "", "on|off", OptionValue::Required, "on or off",
     "on (the default): a window or full-screen run asks the driver\n"
     "to show each frame at the display's refresh (vertical sync); off\n"
     "asks it not to wait, for measuring. --stats says what was used;\n"
     "--capture and --video ask for nothing",
     [](DemoOptions& o, const std::string& v) {
         if (v != "on" && v != "off") return false;
         o.vsync = v == "on";
         return true;
     }},
    {"--stats", "", "[F]", OptionValue::Optional, "a file name",
     "print frame-time statistics and the ticks per frame at the end\n"
     "(and one CSV row per frame to the file F)",
     [](DemoOptions& o, const std::string& v) {
         o.stats = true;
         o.statsFile = v;
         return true;
     }},
    {"--watch", "", "", OptionValue::None, "",
     "reload the tuning files, the layer list and the shaders of dat/\n"
     "when they change",
     [](DemoOptions& o, const std::string&) { return o.watch = true; }},
    {"--cues", "", "", OptionValue::None, "",
     "print the demo's moments, one a line: seconds, name, whether\n"
     "the music turns there, what happens",
     [](DemoOptions& o, const std::string&) { return o.cues = true; }},
    {"--help", "-h", "", OptionValue::None, "", "this text",
     [](DemoOptions& o, const std::string&) { return o.help = true; }},
};

const OptionEntry* findOption(std::string_view name) {
    for (const OptionEntry& option : kOptions) {
        if (option.name == name || (!option.alias.empty() && option.alias == name)) return &option;
    }
    return nullptr;
}

OptionsResult failure(std::string message) { return {false, std::move(message)}; }

}  // namespace

std::span<const OptionEntry> demoOptionTable() { return kOptions; }

std::span<const SizeArgument> sizeArguments() {
    static constexpr SizeArgument kSizeArguments[] = {
        {"W H",
         "picture size (the configuration file chooses window or full\n"
         "screen); another count of such words is ignored (a warning)"},
        {"W H D R", "picture size, colour depth and refresh rate of full-screen mode"},
    };
    return kSizeArguments;
}

OptionsResult parseDemoOptions(int& argc, char** argv, DemoOptions& options) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (!word.starts_with("--") && word != "-h") {
            argv[kept++] = argv[i];
            continue;
        }
        std::string name(word);
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        const OptionEntry* option = findOption(name);
        if (option == nullptr) return failure("unknown option " + name + " (see --help)");
        name = option->name;
        const std::string needs = name + " needs " + std::string(option->needs);
        const bool nextIsWord = i + 1 < argc && !std::string_view(argv[i + 1]).starts_with("--");
        std::string value;
        switch (option->value) {
            case OptionValue::None:
                if (inlineValue) return failure(name + " takes no value");
                break;
            case OptionValue::Required:
                if (inlineValue) {
                    value = *inlineValue;
                } else if (nextIsWord) {
                    value = argv[++i];
                } else if (i + 1 < argc) {
                    return failure(needs + ", not the option " + argv[i + 1]);
                } else {
                    return failure(needs);
                }
                break;
            case OptionValue::Optional:
                if (inlineValue) {
                    value = *inlineValue;
                } else if (nextIsWord && argv[i + 1][0] != '-' && !isNumber(argv[i + 1])) {
                    value = argv[++i];
                }
                break;
        }
        if (!option->apply(options, value)) return failure(needs);
    }
    argc = kept;
    argv[argc] = nullptr;
    if (options.start && options.end && *options.end < *options.start) {
        return failure("--end must not be before --start");
    }
    if (!options.captureDir.empty() && !options.videoFile.empty()) {
        return failure("--capture and --video cannot be combined");
    }
    if (options.videoPreset && options.videoFile.empty()) return failure("--video-preset needs --video");
    return {};
}

std::string demoUsage() {
    const auto left = [](const OptionEntry& option) {
        std::string text(option.name);
        if (!option.alias.empty()) text += ", " + std::string(option.alias);
        if (!option.valueName.empty()) text += " " + std::string(option.valueName);
        return text;
    };
    std::size_t width = 0;
    for (const OptionEntry& option : demoOptionTable()) width = std::max(width, left(option).size());
    const auto row = [&](std::string_view head, std::string_view help) {
        std::string line = "  " + std::string(head);
        line.resize(width + 4, ' ');
        for (std::size_t cut = help.find('\n'); cut != std::string_view::npos; cut = help.find('\n')) {
            line += std::string(help.substr(0, cut)) + "\n" + std::string(width + 4, ' ');
            help.remove_prefix(cut + 1);
        }
        return line + std::string(help) + "\n";
    };
    std::string text = "usage: velkarn [W H | W H D R] [options]\n";
    for (const SizeArgument& argument : sizeArguments()) text += row(argument.words, argument.help);
    text += "options:\n";
    for (const OptionEntry& option : demoOptionTable()) text += row(left(option), option.help);
    return text;
}

bool offlineRun(const DemoOptions& options) { return !options.captureDir.empty() || !options.videoFile.empty(); }
