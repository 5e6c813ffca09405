#include "softbody/asc_reader.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool isSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Closes the file when a pass returns normally (exit() ends the process anyway).
struct FileCloser {
    std::FILE* file;
    ~FileCloser() { std::fclose(file); }
};

std::FILE* openModel(const AscModel& model) {
    std::FILE* file = std::fopen(model.fileName.c_str(), "r");
    if (file == nullptr) {
        std::printf("Unable to open %s file.\n", model.fileName.c_str());
        std::fflush(stdout);
        std::exit(1);
    }
    return file;
}

std::int32_t checkedCount(std::int32_t count) {
    if (count < 0 || count > kAscMaxCount) failObjectFile();
    return count;
}

// The three value words after label i; each carries a two-character tag ("X:", "A:")
// that is skipped unread. Shorter words have no value and are rejected.
void readLabelledValues(std::FILE* file, std::int32_t index, char (&values)[3][kAscValueLength + 1]) {
    char label[20];
    std::snprintf(label, sizeof label, "%d:", static_cast<int>(index));
    skipToWord(file, label);
    for (auto& value : values) {
        readWord(file, value, kAscValueLength);
        if (std::strlen(value) < 3) failObjectFile();
    }
}

}  // namespace

void failObjectFile() {
    std::printf("Error with object file! \n");
    std::fflush(stdout);
    std::exit(1);
}

void readWord(std::FILE* file, char* buffer, int maxLength) {
    int c = std::getc(file);
    while (c != EOF && isSpace(c)) c = std::getc(file);
    if (c == EOF) failObjectFile();
    int length = 0;
    while (c != EOF && !isSpace(c)) {
        if (length == maxLength) failObjectFile();
        buffer[length++] = static_cast<char>(c);
        c = std::getc(file);
    }
    buffer[length] = '\0';
}

void skipToWord(std::FILE* file, const char* keyword) {
    char word[kAscWordLength + 1];
    do {
        readWord(file, word, kAscWordLength);
    } while (std::strcmp(word, keyword) != 0);
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
    skipToWord(file, keyword);
    char word[kAscWordLength + 1];
    readWord(file, word, kAscWordLength);
    return parseLeadingInt(word);
}

void readAscVertices(AscModel& model) {
    std::FILE* file = openModel(model);
    const FileCloser closer{file};
    const std::int32_t count = checkedCount(readCountAfter(file, "Vertices:"));
    std::vector<float> vertices(static_cast<std::size_t>(count) * 3);
    skipToWord(file, "Vertex");
    skipToWord(file, "List:");
    char values[3][kAscValueLength + 1];
    for (std::int32_t i = 0; i < count; ++i) {
        readLabelledValues(file, i, values);
        for (int k = 0; k < 3; ++k) {
            const float v = static_cast<float>(std::atof(values[k] + 2));
            if (!std::isfinite(v)) failObjectFile();
            vertices[static_cast<std::size_t>(i) * 3 + k] = v;
        }
    }
    model.vertexCount = count;
    model.vertices = std::move(vertices);
}

void readAscFaces(AscModel& model) {
    std::FILE* file = openModel(model);
    const FileCloser closer{file};
    const std::int32_t count = checkedCount(readCountAfter(file, "Faces:"));
    std::vector<std::int32_t> faces(static_cast<std::size_t>(count) * 3);
    skipToWord(file, "Face");
    skipToWord(file, "list:");
    char values[3][kAscValueLength + 1];
    for (std::int32_t i = 0; i < count; ++i) {
        readLabelledValues(file, i, values);
        for (int k = 0; k < 3; ++k) {
            const std::int32_t index = parseLeadingInt(values[k] + 2);
            if (index < 0 || index >= model.vertexCount) failObjectFile();
            faces[static_cast<std::size_t>(i) * 3 + k] = index;
        }
    }
    model.faceCount = count;
    model.faces = std::move(faces);
}
