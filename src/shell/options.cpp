#include "shell/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

DemoOptions demoOptions;

namespace {

bool parseSeconds(const std::string& text, double& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || end == text.c_str() || *end != '\0' || !std::isfinite(value) || value < 0.0 ||
        value > 100000.0) {
        return false;
    }
    out = value;
    return true;
}

bool parseFps(const std::string& text, int& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < 1 || value > 1000) return false;
    out = static_cast<int>(value);
    return true;
}

OptionsResult failure(std::string message) { return {false, std::move(message)}; }

}  // namespace

OptionsResult parseDemoOptions(int& argc, char** argv, DemoOptions& options) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (!word.starts_with("--")) {
            argv[kept++] = argv[i];
            continue;
        }
        std::string name(word);
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        // Options that take a value read it after "=" or as the next word.
        const auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) return inlineValue;
            if (i + 1 < argc) return std::string(argv[++i]);
            return std::nullopt;
        };
        const auto flag = [&](bool& target) -> OptionsResult {
            if (inlineValue) return failure(name + " takes no value");
            target = true;
            return {};
        };
        OptionsResult result;
        if (name == "--silent") {
            result = flag(options.silent);
        } else if (name == "--no-dialogs") {
            result = flag(options.noDialogs);
        } else if (name == "--help") {
            result = flag(options.help);
        } else if (name == "--watch") {
            result = flag(options.watch);
        } else if (name == "--stats") {
            options.stats = true;
            if (inlineValue) {
                options.statsFile = *inlineValue;
            } else if (i + 1 < argc && std::string_view(argv[i + 1]).ends_with(".csv")) {
                options.statsFile = argv[++i];
            }
        } else if (name == "--start" || name == "--end") {
            const auto text = value();
            double seconds = 0.0;
            if (!text || !parseSeconds(*text, seconds)) {
                return failure(name + " needs a number of seconds from 0 to 100000");
            }
            (name == "--start" ? options.start : options.end) = seconds;
        } else if (name == "--fps") {
            const auto text = value();
            int fps = 0;
            if (!text || !parseFps(*text, fps)) return failure("--fps needs a whole number from 1 to 1000");
            options.fps = fps;
        } else if (name == "--capture" || name == "--video") {
            const auto text = value();
            if (!text || text->empty()) return failure(name + " needs a " + (name == "--capture" ? "directory" : "file name"));
            (name == "--capture" ? options.captureDir : options.videoFile) = *text;
        } else {
            return failure("unknown option " + name + " (see --help)");
        }
        if (!result.ok) return result;
    }
    argc = kept;
    argv[argc] = nullptr;
    if (options.start && options.end && *options.end < *options.start) {
        return failure("--end must not be before --start");
    }
    if (!options.captureDir.empty() && !options.videoFile.empty()) {
        return failure("--capture and --video cannot be combined");
    }
    return {};
}

const char* demoUsage() {
    return "usage: velkarn [W H | W H D R] [options]\n"
           "  W H          picture size (the configuration file chooses window or full screen)\n"
           "  W H D R      picture size, colour depth and refresh rate for full-screen mode\n"
           "options:\n"
           "  --start S    start at S seconds of the music\n"
           "  --end S      stop a capture after the frame at S seconds (default 225)\n"
           "  --silent     no sound device; the demo follows a silent clock\n"
           "  --no-dialogs report errors on standard error only, never in a box\n"
           "  --capture D  render offline at --fps (default 30), saving D/frame-NNNNNN.png\n"
           "  --video F    render offline at --fps (default 60) into the MP4 (H.264) video F with the\n"
           "               music as AAC; needs ffmpeg. Without the music file the video has no sound\n"
           "               (a warning says so). F is written only when every frame is in.\n"
           "  --fps N      frames per second of --capture and --video\n"
           "  --stats [F]  print frame-time statistics at the end (and one CSV row per frame to F)\n"
           "  --watch      reload tuning files, layer list and shaders in dat/ when they change\n"
           "  --help       this text\n";
}
