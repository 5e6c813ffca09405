// The blend layer list: reading its records (bounded words, warnings per bad record), making
// the layers and choosing the ones live at a time.
#include "render/layer_list.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "base/whole_file.h"
#include "base/word_scanner.h"

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

// False when line 1 is longer than the header limit. A trailing CR of a CR-LF file is not
// counted.
bool headerFits(std::string_view header) {
    std::size_t length = header.size();
    if (length > 0 && header[length - 1] == '\r') --length;
    return length <= kHeaderMaxChars;
}

struct Word {
    std::string text;      // at most limit characters are kept
    bool present = false;  // false at end of input
    bool tooLong = false;
    int line = 0;  // where the word starts
};

// One whitespace-separated word; storage is bounded by the limit, the rest of an
// over-long word is passed over.
Word readWord(WordScanner& words, std::size_t limit) {
    const std::string_view text = words.next();
    Word word;
    word.line = words.line();
    word.present = !text.empty();
    word.tooLong = text.size() > limit;
    word.text = text.substr(0, limit);
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

std::optional<LayerReadResult> readLayerFile(const char* path) {
    std::string text;
    switch (readWholeFile(path, text, kMaxLayerListBytes)) {
        case FileReadStatus::CannotOpen: return std::nullopt;
        case FileReadStatus::TooLarge: {
            LayerReadResult result;
            result.status = LayerReadStatus::TooLarge;
            result.message = "the layer list is larger than " + std::to_string(kMaxLayerListBytes >> 20) +
                             " MB; not read";
            return result;
        }
        case FileReadStatus::ReadError:  // a folder, say: it reads as nothing, as a stream would
        case FileReadStatus::Ok: break;
    }
    return readLayerGroups(text);
}

LayerReadResult readLayerGroups(std::string_view text) {
    LayerReadResult result;
    const std::size_t headerEnd = std::min(text.find('\n'), text.size());  // line 1 runs to its line feed
    if (!headerFits(text.substr(0, headerEnd))) return result;
    static constexpr const char* kFieldNames[4] = {"start", "end", "image", "effect"};
    static constexpr std::size_t kLimits[4] = {kTimeWordMaxChars, kTimeWordMaxChars, kImageWordMaxChars,
                                               kEffectWordMaxChars};
    WordScanner scanner(text, headerEnd + 1, 2);
    for (int record = 1;; ++record) {
        Word words[4];
        int got = 0;
        while (got < 4 && (words[got] = readWord(scanner, kLimits[got])).present) ++got;
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
