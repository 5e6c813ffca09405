// The blend layer list: reading its records (bounded words, warnings per bad record), making
// the layers and choosing the ones live at a time.
#include "render/layer_list.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <utility>

BlendLayerList blendLayers;

EffectKind effectKindFromName(const std::string& name) {
    for (const ShaderRecipe& recipe : kShaderRecipes) {
        if (recipe.effectWord != nullptr && name == recipe.effectWord) return recipe.effect;
    }
    return EffectKind::None;
}

unsigned int programForEffect(EffectKind kind) {
    for (const ShaderRecipe& recipe : kShaderRecipes) {
        if (kind != EffectKind::None && recipe.effect == kind) return programs.*recipe.program;
    }
    return 0;
}

namespace {

constexpr int kEof = std::char_traits<char>::eof();

bool isSpace(int c) { return c != kEof && std::isspace(static_cast<unsigned char>(c)) != 0; }

// Skips line 1; false when it is longer than the header limit. A trailing CR of a CR-LF
// file is not counted.
bool skipHeader(std::istream& in) {
    std::size_t length = 0;
    bool lastWasCr = false;
    for (int c = in.get(); c != kEof && c != '\n'; c = in.get()) {
        ++length;
        lastWasCr = c == '\r';
    }
    if (lastWasCr) --length;
    return length <= kHeaderMaxChars;
}

struct Word {
    std::string text;      // at most limit + 1 characters are kept
    bool present = false;  // false at end of input
    bool tooLong = false;
    int line = 0;  // where the word starts
};

// One whitespace-separated word; storage is bounded by the limit, the rest of an
// over-long word is skipped so the reader never runs past it. line counts the lines.
Word readWord(std::istream& in, std::size_t limit, int& line) {
    Word word;
    int c = in.get();
    for (; isSpace(c); c = in.get()) line += c == '\n' ? 1 : 0;
    word.line = line;
    while (c != kEof && !isSpace(c)) {
        word.present = true;
        if (word.text.size() < limit) {
            word.text.push_back(static_cast<char>(c));
        } else {
            word.tooLong = true;
        }
        c = in.get();
    }
    line += c == '\n' ? 1 : 0;
    return word;
}

// A word that reads wholly as a finite number; atof takes any word, but a time that is
// not one is a slip worth a warning.
bool isNumber(const std::string& word) {
    char* end = nullptr;
    const double value = std::strtod(word.c_str(), &end);
    return !word.empty() && *end == '\0' && std::isfinite(value);
}

}  // namespace

LayerReadResult readLayerGroups(std::istream& in) {
    LayerReadResult result;
    if (!skipHeader(in)) return result;
    static constexpr const char* kFieldNames[4] = {"start", "end", "image", "effect"};
    static constexpr std::size_t kLimits[4] = {kTimeWordMaxChars, kTimeWordMaxChars, kImageWordMaxChars,
                                               kEffectWordMaxChars};
    int line = 2;
    for (int record = 1;; ++record) {
        Word words[4];
        int got = 0;
        while (got < 4 && (words[got] = readWord(in, kLimits[got], line)).present) ++got;
        if (got == 0) break;
        const std::string where = "record " + std::to_string(record) + " (line " + std::to_string(words[0].line) + ")";
        if (got < 4) {
            result.warnings.push_back(where + " is cut short by the end of the file: " + std::to_string(got) +
                                      " of its 4 words; it is dropped");
            break;
        }
        if (words[0].text[0] == '#') continue;  // a comment is four words, whatever their length
        for (int i = 0; i < 4; ++i) {
            if (words[i].tooLong) {
                result.status = LayerReadStatus::WordTooLong;
                result.message = where + ": the " + kFieldNames[i] + " word is longer than " +
                                 std::to_string(kLimits[i]) + " characters: \"" + words[i].text + "...\"";
                return result;
            }
        }
        std::string problems;
        const auto problem = [&](const std::string& text) { problems += (problems.empty() ? "" : "; ") + text; };
        for (int i = 0; i < 2; ++i) {
            if (!isNumber(words[i].text))
                problem(std::string("the ") + kFieldNames[i] + " \"" + words[i].text + "\" is not a number");
        }
        if (effectKindFromName(words[3].text) == EffectKind::None) {
            problem("the effect \"" + words[3].text + "\" is not one of overlay, blur, multiply, negative, replace");
        }
        if (!problems.empty()) {
            result.warnings.push_back(where + ": " + problems + " (every record, comments too, is four words)");
        }
        result.groups.push_back(
            {std::move(words[0].text), std::move(words[1].text), std::move(words[2].text), std::move(words[3].text)});
    }
    return result;
}

float parseLayerTime(const std::string& word) {
    const double value = std::atof(word.c_str());
    // Converting a finite double beyond float range is undefined; such times mean "never"
    // or "always", which infinity keeps.
    if (value > static_cast<double>(FLT_MAX)) return std::numeric_limits<float>::infinity();
    if (value < -static_cast<double>(FLT_MAX)) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

std::optional<std::string> layerImageName(float end, const std::string& image) {
    if (end == 0.0f || image == "0") return std::nullopt;
    // The image name goes through the same 80-character buffer as every other file name.
    char fileName[80];
    std::snprintf(fileName, sizeof fileName, "%s", image.c_str());
    return std::string(fileName);
}

BlendLayer makeBlendLayerWith(float start, float end, const std::string& image, const std::string& effect,
                              const ImageLoader& loader) {
    BlendLayer layer;
    if (end == 0.0f) return layer;
    layer.start = start;
    layer.end = end;
    const std::optional<std::string> fileName = layerImageName(end, image);
    if (!fileName) return layer;
    layer.texture = loader(fileName->c_str());
    layer.program = programForEffect(effectKindFromName(effect));
    return layer;
}

std::vector<std::string> layerImageNames(const std::vector<LayerGroup>& groups) {
    std::vector<std::string> names;
    for (const LayerGroup& group : groups) {
        if (auto name = layerImageName(parseLayerTime(group.end), group.image)) names.push_back(std::move(*name));
    }
    return names;
}

void appendBlendLayers(const std::vector<LayerGroup>& groups, const ImageLoader& loader, BlendLayerList& list) {
    for (const LayerGroup& group : groups) {
        list.push_back(makeBlendLayerWith(parseLayerTime(group.start), parseLayerTime(group.end), group.image,
                                          group.effect, loader));
    }
}

void printLayerWarnings(const LayerReadResult& read, const char* fileName) {
    for (const std::string& warning : read.warnings) std::fprintf(stderr, "%s: %s\n", fileName, warning.c_str());
    std::fflush(stderr);
}

bool layerLiveAt(const BlendLayer& layer, float t) { return layer.start < t && t < layer.end; }
