// Reader of triangle meshes in the 3D Studio ASCII export form (".asc"): a forward word
// scanner that looks for fixed keywords and takes the values after each label.
// The program's readers end the process on a missing file or a malformed model with a
// message on standard output; the try/scan forms return a status instead.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct AscModel {
    std::string fileName;
    std::int32_t vertexCount = 0;
    std::int32_t faceCount = 0;
    std::vector<float> vertices;      // x, y, z of vertex i at 3i, 3i+1, 3i+2
    std::vector<std::int32_t> faces;  // vertex indices A, B, C of triangle i at 3i, 3i+1, 3i+2
};

// Longest keyword or count word, and longest value word after a label.
inline constexpr int kAscWordLength = 99;
inline constexpr int kAscValueLength = 19;
// Largest vertex or face count accepted; anything above is not a model of ours.
inline constexpr std::int32_t kAscMaxCount = 1'000'000;

enum class AscStatus { Ok, CannotOpen, Malformed };

// The two passes without leaving the process: each reads an open stream from its current
// position (the file's start) to its end and fills the model only on success. A malformed
// file (missing keyword or label, truncation, over-long word, bad count, value or index,
// or a file of over 256 MB) gives AscStatus::Malformed and leaves the model as it was.
AscStatus scanAscVertices(std::FILE* file, AscModel& model);
AscStatus scanAscFaces(std::FILE* file, AscModel& model);
// Open model.fileName and scan it; nothing is printed.
AscStatus tryReadAscVertices(AscModel& model);
AscStatus tryReadAscFaces(AscModel& model);

// Opens model.fileName, reads vertexCount and vertices. Call first.
void readAscVertices(AscModel& model);
// Opens model.fileName again from its start, reads faceCount and faces; every index must
// lie in the vertex list read by readAscVertices.
void readAscFaces(AscModel& model);

// The leading decimal integer of text as atoi reads it, but saturated instead of
// overflowing.
std::int32_t parseLeadingInt(const char* text);

// "Error with object file! \n" on standard output, exit status 1.
[[noreturn]] void failObjectFile();
