// Timed tuning values: four small text files schedule the particle count, the point
// sizes and two layer switches over demo time. Each is read into a TuningList whose
// records apply one per tick, in file order, once their time has passed.
#pragma once

#include <array>
#include <string_view>

// One record of any of the four files; the loaders fill the fields their file has and
// leave the others 0.
struct TuningRecord {
    float time = 0.0f;
    int count = 0;        // p-num: the particle count
    int minSize = 0;      // p-size: MIN_PAR
    int maxSize = 0;      // p-size: MAX_PAR
    int layers = 0;       // p-size: sizeLayerCount
    int switchValue = 0;  // p-negative: negativeOn; p-kszak: overlayOn
    bool operator==(const TuningRecord&) const = default;
};

enum class TuningKind { ParticleCount, Size, Negative, Kszak };

inline constexpr int kMaxTuningRecords = 254;  // the largest table (p-size)

struct TuningList {
    TuningKind kind = TuningKind::ParticleCount;
    int maxRecords = 0;  // capacity of this file's table
    std::array<TuningRecord, kMaxTuningRecords> records{};
    int count = 0;   // records read
    int cursor = 0;  // next record to apply
};

// The four files' tables, each with the largest record count its file may have.
struct TuningLists {
    TuningList numList{TuningKind::ParticleCount, 99};  // dat/p-num.dat: time, particle count
    TuningList sizeList{TuningKind::Size, 254};         // dat/p-size.dat: time, MIN_PAR, MAX_PAR, sizeLayerCount
    TuningList negativeList{TuningKind::Negative, 99};  // dat/p-negative.dat: time, negativeOn
    TuningList kszakList{TuningKind::Kszak, 100};       // dat/p-kszak.dat: time, overlayOn
};
extern TuningLists tuning;

inline constexpr const char* kNumListPath = "dat/p-num.dat";
inline constexpr const char* kSizeListPath = "dat/p-size.dat";
inline constexpr const char* kNegativeListPath = "dat/p-negative.dat";
inline constexpr const char* kKszakListPath = "dat/p-kszak.dat";

// Replaces the list's records with those of text; fileName only names the file in
// messages (records beyond the table's maximum, over-long words, and one line for each
// record with a word that is not a number or that is cut short by the end of the file).
void parseTuningText(TuningList& list, std::string_view text, const char* fileName);
// Reads a file into the list; a missing file gives an empty list, silently.
void loadTuningFile(TuningList& list, const char* path);

void loadNumList();
void loadSizeList();
void loadNegativeList();
void loadKszakList();
// The F1 reload: p-num, p-size, p-kszak, p-negative.
void reloadTuningFiles();

// Applies at most one due record per list (time strictly below t), in the order p-num,
// p-size, p-negative, p-kszak. A tick calls it once.
void applyTuningSchedules(float t);
// Every list applies its records from the first again.
void resetTuningCursors();
