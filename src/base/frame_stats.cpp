// Frame-time statistics: per-stage laps each frame, the summary with percentiles and the
// per-frame CSV.
#include "base/frame_stats.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>

FrameStats frameStats;

namespace {

constexpr std::array<const char*, kFrameStageCount> kStageNames = {"ticks", "particle image", "composition",
                                                                   "post-processing"};
constexpr std::array<const char*, kFrameStageCount> kStageColumns = {"ticks_ms", "particles_ms", "composition_ms",
                                                                     "postprocessing_ms"};

double percentile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return 0.0;
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

void writeStatsCsvHeader(std::ostream& out) {
    out << "frame,time_s,frame_ms,ticks";
    for (const char* column : kStageColumns) out << ',' << column;
    out << '\n' << std::fixed << std::setprecision(4);
}

// In the notation the header set on the stream.
void writeStatsCsvRow(std::ostream& out, std::size_t frame, const FrameSample& sample) {
    out << frame << ',' << sample.demoTime << ',' << sample.frameMs << ',' << sample.ticks;
    for (double stage : sample.stageMs) out << ',' << stage;
    out << '\n';
}

}  // namespace

FrameStatsSummary summarizeFrames(const std::vector<FrameSample>& samples) {
    FrameStatsSummary summary;
    summary.frames = samples.size();
    if (samples.empty()) return summary;
    std::vector<double> times;
    times.reserve(samples.size());
    for (const FrameSample& s : samples) {
        times.push_back(s.frameMs);
        summary.meanMs += s.frameMs;
        summary.meanTicks += s.ticks;
        summary.mostTicks = std::max(summary.mostTicks, s.ticks);
        for (std::size_t i = 0; i < kFrameStageCount; ++i) summary.stageMeanMs[i] += s.stageMs[i];
    }
    const auto n = static_cast<double>(samples.size());
    summary.meanMs /= n;
    summary.meanTicks /= n;
    for (double& stage : summary.stageMeanMs) stage /= n;
    std::sort(times.begin(), times.end());
    summary.medianMs = percentile(times, 50.0);
    summary.p95Ms = percentile(times, 95.0);
    summary.p99Ms = percentile(times, 99.0);
    summary.maxMs = times.back();
    return summary;
}

void writeStatsReport(std::ostream& out, const FrameStatsSummary& summary) {
    out << std::fixed << std::setprecision(2);
    out << "frames: " << summary.frames << "\n";
    out << "frame time (ms): mean " << summary.meanMs << ", median " << summary.medianMs << ", 95th percentile "
        << summary.p95Ms << ", 99th percentile " << summary.p99Ms << ", longest " << summary.maxMs << "\n";
    out << "ticks per frame: mean " << summary.meanTicks << ", most " << summary.mostTicks << "\n";
    out << "CPU time per frame (ms):";
    for (std::size_t i = 0; i < kFrameStageCount; ++i) {
        out << (i == 0 ? " " : ", ") << kStageNames[i] << " " << summary.stageMeanMs[i];
    }
    out << "\n";
    out << std::defaultfloat;
}

bool FrameStats::enable(std::string csvFile) {
    enabled_ = true;
    csvFile_ = std::move(csvFile);
    samples_.reserve(1 << 14);
    if (csvFile_.empty()) return true;
    csv_.open(csvFile_, std::ios::trunc);
    writeStatsCsvHeader(csv_);
    csv_.flush();
    return static_cast<bool>(csv_);
}

void FrameStats::beginFrame(float demoTime) {
    if (!enabled_) return;
    current_ = FrameSample{};
    current_.demoTime = demoTime;
    frameStart_ = lastLap_ = Clock::now();
}

void FrameStats::countTicks(int ticks) {
    if (enabled_) current_.ticks = ticks;
}

void FrameStats::lap(FrameStage stage) {
    if (!enabled_) return;
    const Clock::time_point now = Clock::now();
    current_.stageMs[static_cast<std::size_t>(stage)] +=
        std::chrono::duration<double, std::milli>(now - lastLap_).count();
    lastLap_ = now;
}

void FrameStats::skip() {
    if (enabled_) lastLap_ = Clock::now();
}

bool FrameStats::endFrame() {
    if (!enabled_) return true;
    current_.frameMs = std::chrono::duration<double, std::milli>(Clock::now() - frameStart_).count();
    samples_.push_back(current_);
    if (!csv_.is_open()) return true;
    // Row by row as the frames come: a run that is stopped keeps the rows of its frames,
    // and the file shows how far a run has got.
    errno = 0;
    writeStatsCsvRow(csv_, samples_.size() - 1, current_);
    csv_.flush();
    if (csv_) return true;
    reportCsvFailure(errno);
    return false;
}

void FrameStats::reportCsvFailure(int error) {
    std::fprintf(stderr, "velkarn: cannot write the statistics file %s: %s\n", csvFile_.c_str(),
                 error != 0 ? std::strerror(error) : "write error");
    std::fflush(stderr);
    csvFailed_ = true;
    csv_.close();
}

bool FrameStats::finish() {
    if (!enabled_ || finished_) return true;
    finished_ = true;
    writeStatsReport(std::cout, summarizeFrames(samples_));
    for (const std::string& line : notes_) std::cout << line << '\n';
    std::cout.flush();
    if (!csv_.is_open()) return !csvFailed_;
    errno = 0;
    csv_.close();
    if (!csv_) {
        reportCsvFailure(errno);
        return false;
    }
    return true;
}
