// The image loader without its fatal ending, for callers that handle a failure.
#pragma once

#include <optional>
#include <string>

// The cached texture for the file, decoding and uploading it on first use. A file that
// cannot be decoded gives nothing, adds no cache entry and, when error is given, leaves
// the decoder's message there.
std::optional<unsigned int> tryLoadImageTexture(const char* fileName, std::string* error = nullptr);
