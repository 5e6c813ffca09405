// Whole-file text reading for the shader sources.
#pragma once

#include <optional>
#include <string>

// The whole file as text (CR-LF read as LF); nothing for a missing or empty file.
std::optional<std::string> readTextFile(const char* fileName);
