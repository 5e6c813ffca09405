// The soft body model reader: vertices and faces of the ASCII mesh file, bounded and
// checked, and the exiting form the demo uses.
#include "sim/asc_reader.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/process_exit.h"

namespace {

bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The non-exiting word scanner under the public readWord/skipToWord/readCountAfter:
// false stands for "the model is malformed here".

bool scanWord(std::FILE* file, char* buffer, int maxLength) {
    int c = std::getc(file);
    while (c != EOF && isSpace(c)) c = std::getc(file);
    if (c == EOF) return false;
    int length = 0;
    while (c != EOF && !isSpace(c)) {
        if (length == maxLength) return false;
        buffer[length++] = static_cast<char>(c);
        c = std::getc(file);
    }
    buffer[length] = '\0';
    return true;
}

bool scanToWord(std::FILE* file, const char* keyword) {
    char word[kAscWordLength + 1];
    do {
        if (!scanWord(file, word, kAscWordLength)) return false;
    } while (std::strcmp(word, keyword) != 0);
    return true;
}

bool scanCountAfter(std::FILE* file, const char* keyword, std::int32_t& count) {
    char word[kAscWordLength + 1];
    if (!scanToWord(file, keyword) || !scanWord(file, word, kAscWordLength)) return false;
    count = parseLeadingInt(word);
    return true;
}

// The count after keyword, then the section start (first and second keyword).
bool scanSectionStart(std::FILE* file, const char* countKeyword, const char* listWord, const char* listKeyword,
                      std::int32_t& count) {
    if (!scanCountAfter(file, countKeyword, count)) return false;
    if (count < 0 || count > kAscMaxCount) return false;
    return scanToWord(file, listWord) && scanToWord(file, listKeyword);
}

// The three value words after label i; each carries a two-character tag ("X:", "A:")
// that is skipped unread. Shorter words have no value and are rejected.
bool scanLabelledValues(std::FILE* file, std::int32_t index, char (&values)[3][kAscValueLength + 1]) {
    char label[20];
    std::snprintf(label, sizeof label, "%d:", static_cast<int>(index));
    if (!scanToWord(file, label)) return false;
    for (auto& value : values) {
        if (!scanWord(file, value, kAscValueLength) || std::strlen(value) < 3) return false;
    }
    return true;
}

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

void readWord(std::FILE* file, char* buffer, int maxLength) {
    if (!scanWord(file, buffer, maxLength)) failObjectFile();
}

void skipToWord(std::FILE* file, const char* keyword) {
    if (!scanToWord(file, keyword)) failObjectFile();
}

std::int32_t parseLeadingInt(const char* text) {
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text) return 0;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

std::int32_t readCountAfter(std::FILE* file, const char* keyword) {
    std::int32_t count = 0;
    if (!scanCountAfter(file, keyword, count)) failObjectFile();
    return count;
}

AscStatus scanAscVertices(std::FILE* file, AscModel& model) {
    std::int32_t count = 0;
    if (!scanSectionStart(file, "Vertices:", "Vertex", "List:", count)) return AscStatus::Malformed;
    std::vector<float> vertices(static_cast<std::size_t>(count) * 3);
    char values[3][kAscValueLength + 1];
    for (std::int32_t i = 0; i < count; ++i) {
        if (!scanLabelledValues(file, i, values)) return AscStatus::Malformed;
        for (int k = 0; k < 3; ++k) {
            const float v = static_cast<float>(std::atof(values[k] + 2));
            if (!std::isfinite(v)) return AscStatus::Malformed;
            vertices[static_cast<std::size_t>(i) * 3 + k] = v;
        }
    }
    model.vertexCount = count;
    model.vertices = std::move(vertices);
    return AscStatus::Ok;
}

AscStatus scanAscFaces(std::FILE* file, AscModel& model) {
    std::int32_t count = 0;
    if (!scanSectionStart(file, "Faces:", "Face", "list:", count)) return AscStatus::Malformed;
    std::vector<std::int32_t> faces(static_cast<std::size_t>(count) * 3);
    char values[3][kAscValueLength + 1];
    for (std::int32_t i = 0; i < count; ++i) {
        if (!scanLabelledValues(file, i, values)) return AscStatus::Malformed;
        for (int k = 0; k < 3; ++k) {
            const std::int32_t index = parseLeadingInt(values[k] + 2);
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
