// Reader of the plain-text (ASCII) PPM logo image, keeping only the red channel.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

// A larger file is refused rather than read: far above the largest plain 1280 x 720 image
// (about 17 MB with five-digit values).
inline constexpr std::size_t kMaxPpmBytes = std::size_t{256} << 20;

// The header is taken as exactly four lines (magic, one comment, size, maximum value)
// and not interpreted. Then come rows x width pixels, row by row from the top, three
// decimal words each; grid[c * rows + r] (column-major) receives the red value of
// column c, row r. Returns false and describes the fault in error when the text holds
// too few pixels, a word that is not a decimal number, or a value above 65535; the grid
// may then be partly written.
bool parsePpmRedChannel(std::string_view text, int rows, int width, std::span<int> grid, std::string& error);

// Reads fileName into grid as above. A file that cannot be opened prints
// "Cannot open the file: " and the path on standard output and ends the program with
// status 1; a malformed file names itself and the fault on standard error and ends the
// program with status 1.
void readPpmRedChannel(const char* fileName, int rows, int width, std::span<int> grid);
