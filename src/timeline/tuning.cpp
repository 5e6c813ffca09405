// The four tuning files (particle count, point sizes and two layer switches): bounded
// reading of their records and the schedules that apply them by the time.
#include "timeline/tuning.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/data_root.h"
#include "base/whole_file.h"
#include "base/word_scanner.h"
#include "sim/particles.h"
#include "timeline/layer_state.h"

TuningLists tuning;

namespace {

// Tuning files are a few lines long; this only keeps a stray huge file out of memory.
constexpr std::size_t kMaxTuningBytes = std::size_t{1} << 20;
constexpr std::size_t kMaxHeaderLength = 254;
constexpr std::size_t kMaxWordLength = 79;

// A word of at most 79 characters, NUL-terminated for the C conversions.
struct Word {
    char text[kMaxWordLength + 1];
    int line = 0;  // where the word starts
};

// Walks the words of the text after its header line.
class WordReader {
public:
    explicit WordReader(std::string_view text, std::size_t start) : words_(text, start, 2) {}  // the header is line 1

    // False at the end of the text. Characters past the 79th of a word are dropped.
    bool next(Word& word) {
        const std::string_view text = words_.next();
        if (text.empty()) return false;
        word.line = words_.line();
        truncated_ = truncated_ || text.size() > kMaxWordLength;
        word.text[text.copy(word.text, kMaxWordLength)] = '\0';
        return true;
    }

    bool truncated() const { return truncated_; }

private:
    WordScanner words_;
    bool truncated_ = false;
};

// atoi without its undefined overflow: out-of-range values saturate.
int toInt(const char* word) {
    const long value = std::strtol(word, nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

double toDouble(const char* word) { return std::strtod(word, nullptr); }

// A float converted to int by truncation, saturating out of range and 0 for NaN.
int truncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<int>(value);
}

int wordsPerRecord(TuningKind kind) { return kind == TuningKind::Size ? 4 : 2; }

// The fields of a record as a warning names them.
constexpr const char* kFieldNames[][4] = {
    {"time", "count"}, {"time", "min", "max", "layers"}, {"time", "switch"}, {"time", "switch"}};

// A word that reads wholly as a number; atoi and atof take anything, but a field that is
// not one is a slip worth a warning.
bool isNumber(const char* word) {
    char* end = nullptr;
    const double value = std::strtod(word, &end);
    return end != word && *end == '\0' && std::isfinite(value);
}

// One warning line for a record whose words cannot be what their places ask; the record
// is read as it is all the same.
void warnAboutWords(TuningKind kind, const Word* words, int record, const char* fileName) {
    std::string problems;
    for (int i = 0; i < wordsPerRecord(kind); ++i) {
        if (isNumber(words[i].text)) continue;
        problems += problems.empty() ? "" : "; ";
        problems += std::string("the ") + kFieldNames[static_cast<int>(kind)][i] + " \"" + words[i].text +
                    "\" is not a number";
        if (words[i].text[0] == '#' && kind != TuningKind::Kszak) problems += " (only p-kszak.dat has comments)";
    }
    if (!problems.empty()) {
        std::fprintf(stderr, "%s: record %d (line %d): %s\n", fileName, record, words[0].line, problems.c_str());
    }
}

TuningRecord convertRecord(TuningKind kind, const Word* words) {
    TuningRecord record;
    switch (kind) {
        case TuningKind::ParticleCount:
            record.time = static_cast<float>(toInt(words[0].text));
            record.count = truncateToInt(toDouble(words[1].text));
            break;
        case TuningKind::Size:
            record.time = static_cast<float>(toInt(words[0].text));
            record.minSize = toInt(words[1].text);
            record.maxSize = toInt(words[2].text);
            record.layers = toInt(words[3].text);
            break;
        case TuningKind::Negative:
        case TuningKind::Kszak:
            record.time = static_cast<float>(toDouble(words[0].text));
            record.switchValue = toInt(words[1].text);
            break;
    }
    return record;
}

void applyRecord(TuningKind kind, const TuningRecord& record) {
    switch (kind) {
        case TuningKind::ParticleCount: particles.particleCount = std::min(record.count, kMaxParticles); break;
        case TuningKind::Size:
            particles.MIN_PAR = static_cast<float>(record.minSize);
            particles.MAX_PAR = static_cast<float>(record.maxSize);
            particles.sizeLayerCount = record.layers;
            break;
        case TuningKind::Negative: layers.negativeOn = record.switchValue; break;
        case TuningKind::Kszak: layers.overlayOn = record.switchValue; break;
    }
}

void applyDueRecord(TuningList& list, float t) {
    if (list.cursor < list.count && t > list.records[static_cast<std::size_t>(list.cursor)].time) {
        applyRecord(list.kind, list.records[static_cast<std::size_t>(list.cursor)]);
        ++list.cursor;
    }
}

}  // namespace

void parseTuningText(TuningList& list, std::string_view text, const char* fileName) {
    list.count = 0;
    list.cursor = 0;
    // The header line is skipped; one longer than 254 characters leaves the list empty.
    const std::size_t headerEnd = text.find('\n');
    if (headerEnd == std::string_view::npos || headerEnd > kMaxHeaderLength) return;

    WordReader reader(text, headerEnd + 1);
    const int wordCount = wordsPerRecord(list.kind);
    const int capacity = std::clamp(list.maxRecords, 0, kMaxTuningRecords);
    bool overflow = false;
    Word words[4];
    for (int record = 1;; ++record) {
        int got = 0;
        while (got < wordCount && reader.next(words[got])) ++got;
        if (got < wordCount) {
            // A record cut short by the end of the file is ignored.
            if (got > 0) {
                std::fprintf(stderr,
                             "%s: record %d (line %d) is cut short by the end of the file: %d of its %d words; "
                             "it is ignored\n",
                             fileName, record, words[0].line, got, wordCount);
            }
            break;
        }
        // In p-kszak a record whose first word begins with '#' is a two-word comment.
        if (list.kind == TuningKind::Kszak && words[0].text[0] == '#') continue;
        if (list.count == capacity) {
            overflow = true;
            break;
        }
        warnAboutWords(list.kind, words, record, fileName);
        list.records[static_cast<std::size_t>(list.count++)] = convertRecord(list.kind, words);
    }
    if (overflow) {
        std::fprintf(stderr, "%s: more than %d records; the rest was ignored\n", fileName, capacity);
    }
    if (reader.truncated()) {
        std::fprintf(stderr, "%s: words longer than %zu characters were cut to that length\n", fileName,
                     kMaxWordLength);
    }
}

void loadTuningFile(TuningList& list, const char* path) {
    std::string text;
    const FileReadStatus status = readWholeFile(path, text, kMaxTuningBytes);
    if (status == FileReadStatus::TooLarge) {
        std::fprintf(stderr, "%s: the file is too large for a tuning file; ignored\n", path);
    }
    if (status != FileReadStatus::Ok) text.clear();
    parseTuningText(list, text, path);
}

void loadNumList() { loadTuningFile(tuning.numList, dataPath(kNumListPath).c_str()); }
void loadSizeList() { loadTuningFile(tuning.sizeList, dataPath(kSizeListPath).c_str()); }
void loadNegativeList() { loadTuningFile(tuning.negativeList, dataPath(kNegativeListPath).c_str()); }
void loadKszakList() { loadTuningFile(tuning.kszakList, dataPath(kKszakListPath).c_str()); }

void reloadTuningFiles() {
    loadNumList();
    loadSizeList();
    loadKszakList();
    loadNegativeList();
}

void applyTuningSchedules(float t) {
    applyDueRecord(tuning.numList, t);
    applyDueRecord(tuning.sizeList, t);
    applyDueRecord(tuning.negativeList, t);
    applyDueRecord(tuning.kszakList, t);
}

void resetTuningCursors() {
    tuning.numList.cursor = 0;
    tuning.sizeList.cursor = 0;
    tuning.negativeList.cursor = 0;
    tuning.kszakList.cursor = 0;
}
