// Translates the geometry-stage shader sources to what the driver takes (per-vertex inputs
// as gl_in, the declared output vertex count) and bounds that count by the driver's limits.
#include "render/geometry_layout.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <utility>

namespace {

constexpr std::string_view kVersion150 = "#version 150 compatibility";
constexpr std::size_t npos = std::string_view::npos;

// Per-vertex input arrays of EXT_geometry_shader4 and the gl_in member each one reads.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kVertexInputs = {{
    {"gl_PositionIn", "gl_Position"},
    {"gl_PointSizeIn", "gl_PointSize"},
    {"gl_ClipVertexIn", "gl_ClipVertex"},
    {"gl_FrontColorIn", "gl_FrontColor"},
    {"gl_BackColorIn", "gl_BackColor"},
    {"gl_FrontSecondaryColorIn", "gl_FrontSecondaryColor"},
    {"gl_BackSecondaryColorIn", "gl_BackSecondaryColor"},
    {"gl_TexCoordIn", "gl_TexCoord"},
    {"gl_FogFragCoordIn", "gl_FogFragCoord"},
}};

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }
bool space(char c) { return blank(c) || c == '\n'; }
bool identifierStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool identifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Length of the comment that starts at pos, 0 when none does. An unclosed block comment
// runs to the end of the text.
std::size_t commentLength(std::string_view text, std::size_t pos) {
    if (text.substr(pos, 2) == "//") {
        const std::size_t end = text.find('\n', pos);
        return (end == npos ? text.size() : end) - pos;
    }
    if (text.substr(pos, 2) == "/*") {
        const std::size_t end = text.find("*/", pos + 2);
        return (end == npos ? text.size() : end + 2) - pos;
    }
    return 0;
}

std::size_t identifierEnd(std::string_view text, std::size_t pos) {
    while (pos < text.size() && identifierChar(text[pos])) ++pos;
    return pos;
}

std::size_t skipSpace(std::string_view text, std::size_t pos) {
    while (pos < text.size() && space(text[pos])) ++pos;
    return pos;
}

std::size_t skipBlanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && blank(text[pos])) ++pos;
    return pos;
}

// The "]" matching the "[" at open (brackets inside comments do not count); npos when
// it is missing.
std::size_t closingBracket(std::string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (const std::size_t comment = commentLength(text, i); comment > 0) {
            i += comment - 1;
        } else if (text[i] == '[') {
            ++depth;
        } else if (text[i] == ']' && --depth == 0) {
            return i;
        }
    }
    return npos;
}

// Newlines that a rewrite swallows are written out again so that later lines keep
// their numbers.
void keepNewlines(std::string& out, std::string_view swallowed) {
    out.append(static_cast<std::size_t>(std::count(swallowed.begin(), swallowed.end(), '\n')), '\n');
}

class GeometryTranslator {
public:
    GeometryTranslator(std::string_view source, int maxVertices)
        : source_(source),
          layout_("layout(lines) in; layout(line_strip, max_vertices = " + std::to_string(std::max(maxVertices, 1)) +
                  ") out;\n") {}

    std::string run() {
        translate(source_, true);
        if (layoutPending_) out_ += "\n" + layout_;  // #version was the last line
        // #version has to come first; a source without one was GLSL 1.10 plus the extension.
        if (!versionSeen_) out_.insert(0, std::string(kVersion150) + "\n" + layout_);
        return std::move(out_);
    }

private:
    // Appends text rewritten to out_; preprocessor lines are looked at only in the
    // source as a whole, not in the array indices rewritten on their own.
    void translate(std::string_view text, bool wholeSource) {
        std::size_t pos = 0;
        while (pos < text.size()) {
            const char c = text[pos];
            if (const std::size_t comment = commentLength(text, pos); comment > 0) {
                out_.append(text.substr(pos, comment));
                pos += comment;
                lineHasComment_ = true;
            } else if (c == '\n') {
                out_ += c;
                ++pos;
                if (wholeSource) newLine();
            } else if (c == '#' && wholeSource && lineBlank_) {
                pos = directive(text, pos);
            } else if (identifierStart(c)) {
                pos = identifier(text, pos);
                lineBlank_ = false;
            } else if (digit(c)) {
                // Numbers whole, so that an exponent or suffix is never read as a name.
                std::size_t end = pos;
                while (end < text.size() && (identifierChar(text[end]) || text[end] == '.')) ++end;
                out_.append(text.substr(pos, end - pos));
                pos = end;
                lineBlank_ = false;
            } else {
                out_ += c;
                ++pos;
                if (!blank(c)) lineBlank_ = false;
            }
        }
    }

    void newLine() {
        if (layoutPending_) {
            out_ += layout_;
            layoutPending_ = false;
        }
        lineBlank_ = true;
        lineHasComment_ = false;
        outLineStart_ = out_.size();
    }

    // The preprocessor line starting with the '#' at pos; returns where to go on.
    std::size_t directive(std::string_view text, std::size_t pos) {
        // The directive runs to the line end or to a comment, which stays as it is.
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\n' && commentLength(text, end) == 0) ++end;
        const std::size_t nameStart = skipBlanks(text, pos + 1);
        const std::string_view name = text.substr(nameStart, identifierEnd(text, nameStart) - nameStart);
        if (name == "version") {
            std::size_t trimmed = end;
            while (trimmed > pos && blank(text[trimmed - 1])) --trimmed;
            out_ += kVersion150;
            versionSeen_ = true;
            layoutPending_ = true;
            lineBlank_ = false;
            return trimmed;
        }
        if (name == "extension") {
            const std::size_t extensionStart = skipBlanks(text, nameStart + name.size());
            const std::string_view extension = text.substr(extensionStart,
                                                           identifierEnd(text, extensionStart) - extensionStart);
            if (extension == "GL_EXT_geometry_shader4") {
                lineBlank_ = false;
                if (lineHasComment_ || (end < text.size() && text[end] != '\n')) return end;
                // Nothing else on the line: it goes with its indentation and line end.
                out_.resize(outLineStart_);
                lineBlank_ = true;
                return end < text.size() ? end + 1 : end;
            }
        }
        out_ += '#';
        lineBlank_ = false;
        return pos + 1;
    }

    // The name starting at pos and what belongs to its rewrite; returns where to go on.
    std::size_t identifier(std::string_view text, std::size_t pos) {
        const std::size_t end = identifierEnd(text, pos);
        const std::string_view word = text.substr(pos, end - pos);
        if (word == "varying") {
            const std::size_t next = skipSpace(text, end);
            const std::size_t nextEnd = identifierEnd(text, next);
            const std::string_view qualifier = text.substr(next, nextEnd - next);
            if (next > end && (qualifier == "in" || qualifier == "out")) {
                keepNewlines(out_, text.substr(end, next - end));
                out_ += qualifier;
                return nextEnd;
            }
        } else if (word == "gl_VerticesIn") {
            out_ += "gl_in.length()";
            return end;
        } else {
            for (const auto& [input, member] : kVertexInputs) {
                if (word != input) continue;
                const std::size_t open = skipSpace(text, end);
                const std::size_t close = open < text.size() && text[open] == '[' ? closingBracket(text, open) : npos;
                if (close == npos) break;
                keepNewlines(out_, text.substr(end, open - end));
                out_ += "gl_in[";
                translate(text.substr(open + 1, close - open - 1), false);
                out_ += "].";
                out_ += member;
                return close + 1;
            }
        }
        out_.append(word);
        return end;
    }

    std::string_view source_;
    std::string layout_;
    std::string out_;
    bool versionSeen_ = false;
    bool layoutPending_ = false;  // after the #version line, at its line end
    bool lineBlank_ = true;       // nothing but blanks and comments so far on this line
    bool lineHasComment_ = false;
    std::size_t outLineStart_ = 0;  // where the current line starts in out_
};

}  // namespace

std::string translateGeometryStage(const std::string& source, int maxVertices) {
    return GeometryTranslator(source, maxVertices).run();
}

int geometryVertexLimit(int maxOutputVertices, int maxTotalComponents, int componentsPerVertex) {
    int limit = maxOutputVertices > 0 ? maxOutputVertices : 1;
    if (maxTotalComponents > 0 && componentsPerVertex > 0) {
        limit = std::min(limit, maxTotalComponents / componentsPerVertex);
    }
    return std::max(limit, 1);
}
