// Reading a whole file into memory in one go, with a size limit, for the hand-written
// parsers of the data files and the shader sources.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

enum class FileReadStatus { Ok, CannotOpen, TooLarge, ReadError };

// Replaces text with the file's bytes. A file larger than maxBytes is not read.
FileReadStatus readWholeFile(const char* path, std::string& text, std::size_t maxBytes);
// The same for an open stream, from its current position to its end.
FileReadStatus readWholeStream(std::FILE* file, std::string& text, std::size_t maxBytes);
