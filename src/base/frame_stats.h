// Frame-time statistics of a run (--stats): the time of every frame, the ticks it ran and
// the CPU time of its stages, reported at the end and optionally written one row per frame
// as CSV, as the frames come.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Ticks: the frame rules (fluid, soft bodies, particle advance); then the drawing.
enum class FrameStage : std::uint8_t { Ticks, Particles, Composition, PostProcessing, Count };
inline constexpr std::size_t kFrameStageCount = static_cast<std::size_t>(FrameStage::Count);

struct FrameSample {
    float demoTime = 0.0f;
    int ticks = 0;
    double frameMs = 0.0;
    std::array<double, kFrameStageCount> stageMs{};
};

struct FrameStatsSummary {
    std::size_t frames = 0;
    double meanMs = 0.0, medianMs = 0.0, p95Ms = 0.0, p99Ms = 0.0, maxMs = 0.0;
    double meanTicks = 0.0;
    int mostTicks = 0;
    std::array<double, kFrameStageCount> stageMeanMs{};
};

// Nearest-rank percentiles over the frame times (p in 0..100).
FrameStatsSummary summarizeFrames(const std::vector<FrameSample>& samples);
void writeStatsReport(std::ostream& out, const FrameStatsSummary& summary);

// The recorder used by the frame driver. Everything is a no-op until enabled, so a run
// without --stats reads no clock.
class FrameStats {
public:
    // Starts recording; with a file name, writes the CSV header into it at once and a row
    // after every frame. False when that file cannot be written.
    bool enable(std::string csvFile);
    bool enabled() const { return enabled_; }
    void beginFrame(float demoTime);
    void countTicks(int ticks);
    // The time since the last lap (or the frame's start) goes to the stage.
    void lap(FrameStage stage);
    // Time since the last lap goes to no stage (camera moves, buffer swap).
    void skip();
    // False when the frame's CSV row cannot be written; the message (the file and the
    // system's reason) is printed then, once, and no later row is tried.
    bool endFrame();
    // A line printed after the summary, about how the run was set up (its vertical sync).
    void note(std::string line) { notes_.push_back(std::move(line)); }
    // Prints the summary on standard output and closes the CSV file; returns false when
    // the CSV file could not be written whole.
    bool finish();
    const std::vector<FrameSample>& samples() const { return samples_; }

private:
    using Clock = std::chrono::steady_clock;
    bool enabled_ = false;
    bool finished_ = false;
    bool csvFailed_ = false;
    void reportCsvFailure(int error);
    std::string csvFile_;
    std::ofstream csv_;
    std::vector<FrameSample> samples_;
    std::vector<std::string> notes_;
    FrameSample current_;
    Clock::time_point frameStart_{}, lastLap_{};
};

extern FrameStats frameStats;
