// Reading a whole file into memory in one go, with a size limit, for the hand-written
// parsers of the particle map, the logo image and the tuning files.
#pragma once

#include <cstddef>
#include <string>

enum class FileReadStatus { Ok, CannotOpen, TooLarge, ReadError };

// Replaces text with the file's bytes. A file larger than maxBytes is not read.
FileReadStatus readWholeFile(const char* path, std::string& text, std::size_t maxBytes);
