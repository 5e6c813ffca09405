// The pure parts of video output: frame count, bit rate, sizes, the encoder's command
// line and the progress line.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <utility>

#include "program/capture.h"
#include "program/video.h"

std::optional<VideoPreset> videoPresetNamed(std::string_view name) {
    constexpr std::pair<std::string_view, VideoPreset> kNames[] = {{"quality", VideoPreset::Quality},
                                                                   {"archive", VideoPreset::Archive},
                                                                   {"web", VideoPreset::Web},
                                                                   {"compo", VideoPreset::Compo}};
    for (const auto& [known, preset] : kNames) {
        if (known == name) return preset;
    }
    return std::nullopt;
}

int videoBitRateKbits(int width, int height) {
    constexpr double kFullHdKbits = 8000.0;
    constexpr double kFullHdPixels = 1920.0 * 1080.0;
    constexpr int kFloorKbits = 1000;
    if (width <= 0 || height <= 0) return kFloorKbits;
    const double scaled = kFullHdKbits * (static_cast<double>(width) * height / kFullHdPixels);
    // Very large pictures are capped where H.264 levels end anyway.
    const double capped = std::min(scaled, 200000.0);
    return std::max(kFloorKbits, static_cast<int>(std::lround(capped)));
}

PictureSize evenPictureSize(int width, int height) { return {width + (width & 1), height + (height & 1)}; }

namespace {

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

}  // namespace

std::vector<std::string> videoEncoderArguments(const VideoSettings& settings, int width, int height,
                                               const std::string& outputFile) {
    const std::int64_t frames = offlineFrameCount(settings.startSeconds, settings.endSeconds, settings.fps);
    const double duration = static_cast<double>(frames) / settings.fps;
    const PictureSize even = evenPictureSize(width, height);

    std::vector<std::string> args = {settings.encoder, "-hide_banner", "-loglevel", "error", "-nostats", "-y",
                                     // The pictures: raw RGBA on standard input.
                                     "-f", "rawvideo", "-pixel_format", "rgba", "-video_size",
                                     std::to_string(width) + "x" + std::to_string(height), "-framerate",
                                     std::to_string(settings.fps), "-i", "pipe:0"};
    if (!settings.musicFile.empty()) {
        // The sound cut to the same stretch, so the beat stays on the picture.
        args.insert(args.end(), {"-ss", seconds(settings.startSeconds), "-t", seconds(duration), "-i",
                                 settings.musicFile, "-map", "0:v:0", "-map", "1:a:0"});
    }
    // GL rows arrive bottom row first.
    std::string filter = "vflip";
    if (even.width != width || even.height != height) {
        filter += ",pad=" + std::to_string(even.width) + ":" + std::to_string(even.height) + ":0:0:black";
    }
    // x264 at a constant quality level (CRF) with the given chroma layout.
    const auto constantQuality = [](const char* crf, const char* pixelFormat) {
        return std::vector<std::string>{"-c:v", "libx264", "-preset", "fast", "-crf", crf, "-pix_fmt", pixelFormat};
    };
    std::vector<std::string> picture;
    std::string soundRate;
    switch (settings.preset) {
        case VideoPreset::Quality:
            // Measured on the densest stretches: every frame stays near 32 dB PSNR or
            // above against the lossless capture, where a fixed 8 Mbit/s gave 25 dB.
            picture = constantQuality("18", "yuv420p");
            soundRate = "256k";
            break;
        case VideoPreset::Archive:
            // Near-lossless, and full colour resolution: a single-pixel dot keeps its colour.
            picture = constantQuality("6", "yuv444p");
            soundRate = "320k";
            break;
        case VideoPreset::Web:
            // Twice the size, each pixel a 2x2 block: the site re-encodes a picture this
            // large into its better streams, and a block survives the colour subsampling.
            filter += ",scale=iw*2:ih*2:flags=neighbor";
            picture = constantQuality("18", "yuv420p");
            soundRate = "320k";
            break;
        case VideoPreset::Compo: {
            const int kbits = videoBitRateKbits(even.width, even.height);
            picture = {"-c:v",     "libx264",
                       "-preset",  "fast",
                       "-pix_fmt", "yuv420p",
                       "-b:v",     std::to_string(kbits) + "k",
                       "-maxrate", std::to_string(kbits * 2) + "k",
                       "-bufsize", std::to_string(kbits * 2) + "k"};
            soundRate = "192k";
            break;
        }
    }
    args.insert(args.end(), {"-vf", filter});
    args.insert(args.end(), picture.begin(), picture.end());
    if (!settings.musicFile.empty()) args.insert(args.end(), {"-c:a", "aac", "-b:a", soundRate});
    args.insert(args.end(), {"-t", seconds(duration), "-movflags", "+faststart", "-f", "mp4", outputFile});
    return args;
}

std::string formatVideoProgress(std::int64_t done, std::int64_t total, float demoTime, double framesPerSecond,
                                std::int64_t bytesWritten) {
    char text[200];
    int length = std::snprintf(text, sizeof text, "video: frame %lld/%lld  t %.2f s", static_cast<long long>(done),
                               static_cast<long long>(total), static_cast<double>(demoTime));
    const auto append = [&](auto... values) {
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof text) return;
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), values...);
    };
    if (bytesWritten >= 0) append("  %.1f MB", static_cast<double>(bytesWritten) / 1e6);
    if (framesPerSecond > 0.0 && std::isfinite(framesPerSecond)) {
        const double left = static_cast<double>(total > done ? total - done : 0) / framesPerSecond;
        const long long leftSeconds = std::llround(std::min(left, 1e9));
        append("  %.1f fps  %lld:%02lld left", framesPerSecond, leftSeconds / 60, leftSeconds % 60);
    }
    return text;
}

bool programOnPath(const std::string& name, const char* pathVariable) {
    const auto executable = [](const std::string& file) {
        struct stat info {};
        return ::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(file.c_str(), X_OK) == 0;
    };
    if (name.empty()) return false;
    if (name.find('/') != std::string::npos) return executable(name);
    const std::string_view path = pathVariable != nullptr ? pathVariable : "";
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find(':', begin);
        if (end == std::string_view::npos) end = path.size();
        // An empty entry means the working directory.
        const std::string dir = end > begin ? std::string(path.substr(begin, end - begin)) : std::string(".");
        if (executable(dir + "/" + name)) return true;
        begin = end + 1;
    }
    return false;
}
