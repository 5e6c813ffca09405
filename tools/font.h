// The generator's bitmap font: 5 by 9 cells per glyph (rows 0..6 carry the letters,
// x-height rows 2..6, rows 7..8 the descenders), lower case, digits and a little
// punctuation. Glyphs are drawn smooth: every lit cell becomes a round dot joined to
// its lit neighbours by capsules, so the scaled text has rounded strokes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "canvas.h"

inline constexpr int kGlyphColumns = 5;
inline constexpr int kGlyphRows = 9;
// Advance of one character in cells (glyph plus one cell of spacing).
inline constexpr int kGlyphAdvance = kGlyphColumns + 1;

// Bit (kGlyphColumns - 1 - column) of row r is set where the glyph is lit. Upper case
// is drawn as lower case; characters without a glyph (and space) are empty.
using GlyphRows = std::array<std::uint8_t, kGlyphRows>;
GlyphRows glyphFor(char c);
bool hasGlyph(char c);

// Width of a line of text in cells: advance per character minus the trailing space.
int textWidthCells(std::string_view text);

// Appends the strokes of `text` with its top-left cell corner at (x, y), `cell` pixels
// per cell, stroke radius `weight` * cell.
void addTextStrokes(std::vector<Capsule>& strokes, std::string_view text, float x, float y, float cell,
                    float weight = 0.42f);
// The same with the line centred on centreX.
void addCentredTextStrokes(std::vector<Capsule>& strokes, std::string_view text, float centreX, float y, float cell,
                           float weight = 0.42f);
