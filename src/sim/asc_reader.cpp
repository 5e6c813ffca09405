// The soft body model reader: vertices and faces of the ASCII mesh file, bounded and
// checked, and the exiting form the demo uses.
#include "sim/asc_reader.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "base/process_exit.h"
#include "base/whole_file.h"
#include "base/word_scanner.h"

namespace {

// A model of the most vertices and faces accepted is some 150 MB; a larger file is refused
// as malformed rather than read.
constexpr std::size_t kMaxAscBytes = std::size_t{256} << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The words of a model file; false stands for "the model is malformed here". A word
// counts only up to a NUL byte in it, as the C strings the reader compares and converts
// do, while its length limit counts every byte.
class AscWords {
public:
    AscWords() = default;
    AscWords(const AscWords&) = delete;  // the scanner looks into text_
    AscWords& operator=(const AscWords&) = delete;

    // The stream from where it stands to its end, to be scanned from its start.
    bool read(std::FILE* file) {
        if (readWholeStream(file, text_, kMaxAscBytes) != FileReadStatus::Ok) return false;
        words_ = WordScanner(text_);
        return true;
    }

    // The next word, of at most maxLength bytes.
    bool next(std::size_t maxLength, std::string_view& word) {
        word = words_.next();
        if (word.empty() || word.size() > maxLength) return false;
        word = word.substr(0, word.find('\0'));
        return true;
    }

    // Reads words until one equals keyword exactly.
    bool skipTo(std::string_view keyword) {
        std::string_view word;
        do {
            if (!next(kAscWordLength, word)) return false;
        } while (word != keyword);
        return true;
    }

    // skipTo, then the next word as a count (leading integer like atoi, 0 if none).
    bool countAfter(std::string_view keyword, std::int32_t& count) {
        std::string_view word;
        char text[kAscWordLength + 1];
        if (!skipTo(keyword) || !next(kAscWordLength, word)) return false;
        count = parseLeadingInt(cString(word, text));
        return true;
    }

    // The count after keyword, then the section start (first and second keyword).
    bool sectionStart(std::string_view countKeyword, std::string_view listWord, std::string_view listKeyword,
                      std::int32_t& count) {
        if (!countAfter(countKeyword, count)) return false;
        if (count < 0 || count > kAscMaxCount) return false;
        return skipTo(listWord) && skipTo(listKeyword);
    }

    // The three value words after label i, each as a C string past its two-character tag
    // ("X:", "A:"), which is skipped unread. Shorter words have no value and are rejected.
    bool labelledValues(std::int32_t index, char (&values)[3][kAscValueLength + 1]) {
        char label[20];
        std::snprintf(label, sizeof label, "%d:", static_cast<int>(index));
        if (!skipTo(label)) return false;
        for (auto& value : values) {
            std::string_view word;
            if (!next(kAscValueLength, word) || word.size() < 3) return false;
            cString(word.substr(2), value);
        }
        return true;
    }

private:
    template <std::size_t N>
    static const char* cString(std::string_view word, char (&buffer)[N]) {
        buffer[word.copy(buffer, N - 1)] = '\0';
        return buffer;
    }

    std::string text_;
    WordScanner words_{text_};
};

AscStatus openAndScan(AscModel& model, AscStatus (*scan)(std::FILE*, AscModel&)) {
    const FileHandle file(std::fopen(model.fileName.c_str(), "r"));
    if (!file) return AscStatus::CannotOpen;
    return scan(file.get(), model);
}

// The exiting form of a pass: the messages and statuses of the program's reader.
void readOrExit(AscModel& model, AscStatus (*scan)(std::FILE*, AscModel&)) {
    switch (openAndScan(model, scan)) {
        case AscStatus::Ok: return;
        case AscStatus::CannotOpen: exitWithMessage(stdout, "Unable to open %s file.\n", model.fileName.c_str());
        case AscStatus::Malformed: failObjectFile();
    }
}

}  // namespace

void failObjectFile() { exitWithMessage(stdout, "Error with object file! \n"); }

std::int32_t parseLeadingInt(const char* text) {
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text) return 0;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

AscStatus scanAscVertices(std::FILE* file, AscModel& model) {
    AscWords words;
    std::int32_t count = 0;
    if (!words.read(file) || !words.sectionStart("Vertices:", "Vertex", "List:", count)) return AscStatus::Malformed;
    std::vector<float> vertices(static_cast<std::size_t>(count) * 3);
    char values[3][kAscValueLength + 1];
    for (std::int32_t i = 0; i < count; ++i) {
        if (!words.labelledValues(i, values)) return AscStatus::Malformed;
        for (int k = 0; k < 3; ++k) {
            const float v = static_cast<float>(std::atof(values[k]));
            if (!std::isfinite(v)) return AscStatus::Malformed;
            vertices[static_cast<std::size_t>(i) * 3 + k] = v;
        }
    }
    model.vertexCount = count;
    model.vertices = std::move(vertices);
    return AscStatus::Ok;
}

AscStatus scanAscFaces(std::FILE* file, AscModel& model) {
    AscWords words;
    std::int32_t count = 0;
    if (!words.read(file) || !words.sectionStart("Faces:", "Face", "list:", count)) return AscStatus::Malformed;
    std::vector<std::int32_t> faces(static_cast<std::size_t>(count) * 3);
    char values[3][kAscValueLength + 1];
    for (std::int32_t i = 0; i < count; ++i) {
        if (!words.labelledValues(i, values)) return AscStatus::Malformed;
        for (int k = 0; k < 3; ++k) {
            const std::int32_t index = parseLeadingInt(values[k]);
            if (index < 0 || index >= model.vertexCount) return AscStatus::Malformed;
            faces[static_cast<std::size_t>(i) * 3 + k] = index;
        }
    }
    model.faceCount = count;
    model.faces = std::move(faces);
    return AscStatus::Ok;
}

AscStatus tryReadAscVertices(AscModel& model) { return openAndScan(model, scanAscVertices); }
AscStatus tryReadAscFaces(AscModel& model) { return openAndScan(model, scanAscFaces); }

void readAscVertices(AscModel& model) { readOrExit(model, scanAscVertices); }
void readAscFaces(AscModel& model) { readOrExit(model, scanAscFaces); }
