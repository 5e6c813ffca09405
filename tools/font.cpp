// The generator's bitmap font: glyph look-up, lit cells and text widths.
#include "font.h"

#include <cctype>

namespace {

struct GlyphPicture {
    char c;
    // Rows from the top separated by spaces, '#' lit; rows not written are empty.
    const char* rows;
};

constexpr GlyphPicture kGlyphs[] = {
    {'a', "..... ..... .###. ....# .#### #...# .####"},
    {'b', "#.... #.... ####. #...# #...# #...# ####."},
    {'c', "..... ..... .#### #.... #.... #.... .####"},
    {'d', "....# ....# .#### #...# #...# #...# .####"},
    {'e', "..... ..... .###. #...# ##### #.... .####"},
    {'f', "..##. .#... ####. .#... .#... .#... .#..."},
    {'g', "..... ..... .#### #...# #...# #...# .#### ....# .###."},
    {'h', "#.... #.... ####. #...# #...# #...# #...#"},
    {'i', "..#.. ..... .##.. ..#.. ..#.. ..#.. .###."},
    {'j', "...#. ..... ..##. ...#. ...#. ...#. ...#. #..#. .##.."},
    {'k', "#.... #.... #..#. #.#.. ##... #.#.. #..#."},
    {'l', ".##.. ..#.. ..#.. ..#.. ..#.. ..#.. .###."},
    {'m', "..... ..... ##.#. #.#.# #.#.# #.#.# #.#.#"},
    {'n', "..... ..... ####. #...# #...# #...# #...#"},
    {'o', "..... ..... .###. #...# #...# #...# .###."},
    {'p', "..... ..... ####. #...# #...# #...# ####. #.... #...."},
    {'q', "..... ..... .#### #...# #...# #...# .#### ....# ....#"},
    {'r', "..... ..... #.##. ##..# #.... #.... #...."},
    {'s', "..... ..... .#### #.... .###. ....# ####."},
    {'t', ".#... .#... ####. .#... .#... .#... ..##."},
    {'u', "..... ..... #...# #...# #...# #...# .####"},
    {'v', "..... ..... #...# #...# #...# .#.#. ..#.."},
    {'w', "..... ..... #...# #...# #.#.# #.#.# .#.#."},
    {'x', "..... ..... #...# .#.#. ..#.. .#.#. #...#"},
    {'y', "..... ..... #...# #...# #...# #...# .#### ....# .###."},
    {'z', "..... ..... ##### ...#. ..#.. .#... #####"},
    {'0', ".###. #...# #..## #.#.# ##..# #...# .###."},
    {'1', "..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###."},
    {'2', ".###. #...# ....# ...#. ..#.. .#... #####"},
    {'3', "##### ...#. ..#.. ...#. ....# #...# .###."},
    {'4', "...#. ..##. .#.#. #..#. ##### ...#. ...#."},
    {'5', "##### #.... ####. ....# ....# #...# .###."},
    {'6', "..##. .#... #.... ####. #...# #...# .###."},
    {'7', "##### ....# ...#. ..#.. .#... .#... .#..."},
    {'8', ".###. #...# #...# .###. #...# #...# .###."},
    {'9', ".###. #...# #...# .#### ....# ...#. .##.."},
    {'.', "..... ..... ..... ..... ..... ..... ..#.."},
    {',', "..... ..... ..... ..... ..... ..... ..#.. .#..."},
    {':', "..... ..... ..... ..#.. ..... ..... ..#.."},
    {'-', "..... ..... ..... ..... .###."},
    {'!', "..#.. ..#.. ..#.. ..#.. ..#.. ..... ..#.."},
    {'?', ".###. #...# ....# ...#. ..#.. ..... ..#.."},
    {'\'', "..#.. ..#.."},
    {'/', "....# ....# ...#. ..#.. .#... #.... #...."},
    {'&', ".##.. #..#. #.#.. .#... #.#.# #..#. .##.#"},
    {'@', ".###. #...# #.### #.#.# #.### #.... .###."},
    {'(', "...#. ..#.. .#... .#... .#... ..#.. ...#."},
    {')', ".#... ..#.. ...#. ...#. ...#. ..#.. .#..."},
    {'+', "..... ..... ..#.. ..#.. ##### ..#.. ..#.."},
    {'=', "..... ..... ..... ##### ..... ##### ....."},
    {'>', "..... ..... .#... ..#.. ...#. ..#.. .#..."},
    {'<', "..... ..... ...#. ..#.. .#... ..#.. ...#."},
    {'_', "..... ..... ..... ..... ..... ..... #####"},
    {'*', "..... #.#.# .###. ##### .###. #.#.# ....."},
    {'|', "..#.. ..#.. ..#.. ..#.. ..#.. ..#.. ..#.. ..#.. ..#.."},
};

const GlyphPicture* findGlyph(char c) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const GlyphPicture& glyph : kGlyphs) {
        if (glyph.c == lower) return &glyph;
    }
    return nullptr;
}

bool lit(const GlyphRows& rows, int column, int row) {
    if (column < 0 || column >= kGlyphColumns || row < 0 || row >= kGlyphRows) return false;
    return ((rows[static_cast<std::size_t>(row)] >> (kGlyphColumns - 1 - column)) & 1u) != 0;
}

}  // namespace

GlyphRows glyphFor(char c) {
    GlyphRows rows{};
    const GlyphPicture* glyph = findGlyph(c);
    if (glyph == nullptr) return rows;
    int row = 0;
    int column = 0;
    for (const char* p = glyph->rows; *p != '\0' && row < kGlyphRows; ++p) {
        if (*p == ' ') {
            ++row;
            column = 0;
        } else {
            if (*p == '#' && column < kGlyphColumns) {
                rows[static_cast<std::size_t>(row)] |= static_cast<std::uint8_t>(1u << (kGlyphColumns - 1 - column));
            }
            ++column;
        }
    }
    return rows;
}

bool hasGlyph(char c) { return findGlyph(c) != nullptr; }

int textWidthCells(std::string_view text) {
    if (text.empty()) return 0;
    return static_cast<int>(text.size()) * kGlyphAdvance - 1;
}

void addTextStrokes(std::vector<Capsule>& strokes, std::string_view text, float x, float y, float cell, float weight) {
    const float radius = weight * cell;
    float originX = x;
    for (const char c : text) {
        const GlyphRows rows = glyphFor(c);
        const auto centreX = [&](int column) { return originX + (static_cast<float>(column) + 0.5f) * cell; };
        const auto centreY = [&](int row) { return y + (static_cast<float>(row) + 0.5f) * cell; };
        for (int row = 0; row < kGlyphRows; ++row) {
            for (int column = 0; column < kGlyphColumns; ++column) {
                if (!lit(rows, column, row)) continue;
                const float cx = centreX(column);
                const float cy = centreY(row);
                strokes.push_back(Capsule{cx, cy, cx, cy, radius});
                const auto join = [&](int toColumn, int toRow) {
                    strokes.push_back(Capsule{cx, cy, centreX(toColumn), centreY(toRow), radius});
                };
                const bool right = lit(rows, column + 1, row);
                const bool down = lit(rows, column, row + 1);
                const bool left = lit(rows, column - 1, row);
                if (right) join(column + 1, row);
                if (down) join(column, row + 1);
                // Diagonals only where no straight neighbour already turns the corner,
                // so staircases become slants without thickening solid corners.
                if (lit(rows, column + 1, row + 1) && !right && !down) join(column + 1, row + 1);
                if (lit(rows, column - 1, row + 1) && !left && !down) join(column - 1, row + 1);
            }
        }
        originX += static_cast<float>(kGlyphAdvance) * cell;
    }
}

void addCentredTextStrokes(std::vector<Capsule>& strokes, std::string_view text, float centreX, float y, float cell,
                           float weight) {
    addTextStrokes(strokes, text, centreX - 0.5f * static_cast<float>(textWidthCells(text)) * cell, y, cell, weight);
}
