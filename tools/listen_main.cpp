// velkarn_listen: measures a decoded track (16-bit PCM WAV) and prints what it finds.
//   velkarn_listen bands WAV FROM TO          octave balance of FROM..TO seconds
//   velkarn_listen turns WAV T...             how the spectrum changes across each turn
//   velkarn_listen beat WAV FROM TO           how clearly the beat speaks over FROM..TO
//   velkarn_listen energy WAV...              each file's share of the files' summed energy
//   velkarn_listen spectrogram WAV PNG W H    the spectrogram picture, W by H pixels
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "listen_measures.h"
#include "listen_spectrogram.h"
#include "listen_spectrum.h"
#include "wav_file.h"

namespace {

constexpr const char* kUsage =
    "usage: velkarn_listen bands WAV FROM TO | turns WAV T... | beat WAV FROM TO | energy WAV... |\n"
    "                      spectrogram WAV PNG WIDTH HEIGHT\n";

// Turns whose bands change by less than this (RMS, dB) barely change the sound.
constexpr double kSmallTurnDb = 3.0;
// The lags searched for the beat, around the beat grid's length.
constexpr double kBeatLagFrom = 0.5;
constexpr double kBeatLagTo = 1.2;

std::string shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

double number(std::string_view text, double low, double high, const char* what) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < low ||
        value > high) {
        throw std::invalid_argument(std::string(what) + " '" + std::string(text) + "' is not a number from " +
                                    shown(low) + " to " + shown(high));
    }
    return value;
}

double seconds(const Audio& audio) { return static_cast<double>(audio.frames()) / audio.sampleRate; }

// A stretch FROM..TO that lies inside the audio and is not empty.
void checkStretch(const Audio& audio, double from, double to) {
    if (!(to > from) || to > seconds(audio) + 0.01) {
        throw std::invalid_argument("stretch " + shown(from) + ".." + shown(to) + " s is empty or runs past the end (" +
                                    shown(seconds(audio)) + " s)");
    }
}

void printBands(const Audio& audio, double from, double to) {
    checkStretch(audio, from, to);
    const listen::OctaveBalance balance = listen::octaveBalance(audio, from, to);
    std::printf("octave balance %g-%g s, dB against the loudest band:\n", from, to);
    for (std::size_t b = 0; b < listen::kOctaveCentres.size(); ++b) {
        const double centre = listen::kOctaveCentres[b];
        std::printf("  %7g %s  %6.1f\n", centre >= 1000 ? centre / 1000 : centre, centre >= 1000 ? "kHz" : "Hz ",
                    balance.relativeDb[b]);
    }
    std::printf("energy below 60 Hz: %.1f %%\n", 100.0 * balance.shareBelow60Hz);
}

void printTurns(const Audio& audio, std::span<char*> times) {
    const double reach = listen::kTurnGapSeconds + listen::kTurnSpanSeconds;
    std::vector<double> turns;
    for (const char* text : times) {
        const double turn = number(text, reach, seconds(audio) - reach, "turn");
        turns.push_back(turn);
    }
    std::printf("turns: %g s before against %g s after, the %g s either side of the hit left out (dB)\n",
                listen::kTurnSpanSeconds, listen::kTurnSpanSeconds, listen::kTurnGapSeconds);
    std::printf("  distance: RMS over the octaves 63 Hz-8 kHz of their change; shape: the same less the mean change\n");
    std::printf("  %8s  %6s  %8s  %8s  %6s\n", "turn", "level", ">300 Hz", "distance", "shape");
    for (const double turn : turns) {
        const listen::TurnChange change = listen::turnChange(audio, turn);
        std::printf("  %7.2fs  %+6.1f  %+8.1f  %8.1f  %6.1f%s\n", turn, change.levelDb, change.upperDb,
                    change.distanceDb, change.shapeDb, change.distanceDb < kSmallTurnDb ? "  <- small" : "");
    }
    std::printf("  (small: distance under %g dB)\n", kSmallTurnDb);
}

void printBeat(const Audio& audio, double from, double to) {
    checkStretch(audio, from, to);
    const listen::Peak peak = listen::beatClarity(audio, from, to, kBeatLagFrom, kBeatLagTo);
    std::printf("beat: onset autocorrelation peaks at %.2f, lag %.3f s (lags %g-%g s searched, %g-%g s of the track)\n",
                peak.value, peak.lagSeconds, kBeatLagFrom, kBeatLagTo, from, to);
}

void printEnergy(std::span<char*> paths) {
    struct Measured {
        std::string name;
        double meanSquare, energy;
    };
    std::vector<Measured> files;
    double sum = 0.0;
    for (const char* path : paths) {
        const Audio audio = readWav(path);
        const double meanSquare = listen::meanSquare(audio);
        // Energy, not mean square, so files of different lengths weigh by their length.
        files.push_back({std::filesystem::path(path).stem().string(), meanSquare,
                         meanSquare * static_cast<double>(audio.frames())});
        sum += files.back().energy;
    }
    std::printf("  %-10s  %9s  %7s\n", "file", "RMS dBFS", "share");
    for (const Measured& file : files) {
        std::printf("  %-10s  %9.1f  %6.2f%%\n", file.name.c_str(), listen::powerDb(file.meanSquare),
                    sum > 0.0 ? 100.0 * file.energy / sum : 0.0);
    }
}

void writeSpectrogram(const Audio& audio, const char* png, double width, double height) {
    const std::vector<float> mono = audio.mono();
    const Canvas canvas = listen::spectrogram(mono, audio.sampleRate, static_cast<int>(width),
                                              static_cast<int>(height));
    if (canvas.width == 0) throw std::invalid_argument("cannot draw a spectrogram of that size");
    savePng(canvas, png);
}

int run(std::span<char*> args) {
    if (args.size() < 2) throw std::invalid_argument("too few arguments");
    const std::string_view command = args[0];
    if (command == "energy") {
        printEnergy(args.subspan(1));
        return 0;
    }
    const Audio audio = readWav(args[1]);
    if (audio.frames() == 0) throw std::runtime_error(std::string(args[1]) + ": no samples");
    const double length = seconds(audio);
    if (command == "bands" && args.size() == 4) {
        printBands(audio, number(args[2], 0, length, "FROM"), number(args[3], 0, length + 0.01, "TO"));
    } else if (command == "turns" && args.size() >= 3) {
        printTurns(audio, args.subspan(2));
    } else if (command == "beat" && args.size() == 4) {
        printBeat(audio, number(args[2], 0, length, "FROM"), number(args[3], 0, length + 0.01, "TO"));
    } else if (command == "spectrogram" && args.size() == 5) {
        writeSpectrogram(audio, args[2], std::round(number(args[3], 1, 8192, "WIDTH")),
                         std::round(number(args[4], 1, 2048, "HEIGHT")));
    } else {
        throw std::invalid_argument("unknown command or wrong number of arguments");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(std::span(argv + 1, static_cast<std::size_t>(std::max(argc - 1, 0))));
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "velkarn_listen: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velkarn_listen: %s\n", e.what());
        return 1;
    }
}
