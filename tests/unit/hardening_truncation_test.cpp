// Every data file the demo reads, cut short at every length (or, for the two large
// files, at a spread of lengths) and read through the real parsers: each prefix gives
// what the format says a shorter file gives, or a clean refusal, never a fault the
// sanitizers see. The full files come from dat/ and from the asset generators.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "assets.h"
#include "fluid/particle_map.h"
#include "fluid/ppm_reader.h"
#include "fluid/random.h"
#include "fluid/tuning.h"
#include "testing/fluid_support.h"
#include "render/layer_list.h"
#include "shell/config.h"
#include "softbody/asc_reader.h"

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string shippedFile(const char* name) {
    const std::string text = readFile(std::filesystem::path(VELKARN_SOURCE_DIR) / "dat" / name);
    EXPECT_FALSE(text.empty()) << name;
    return text;
}

// Generated assets are made on first use in a scratch run directory, removed at exit.
struct ScratchRunDir {
    std::filesystem::path path;
    bool mesh = false;
    bool logo = false;
    ScratchRunDir() : path(std::filesystem::temp_directory_path() / ("velkarn_trunc_" + std::to_string(getpid()))) {
        std::filesystem::create_directories(path / "dat");
    }
    ~ScratchRunDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

ScratchRunDir& scratchRunDir() {
    static ScratchRunDir dir;
    return dir;
}

std::string generatedModel() {
    ScratchRunDir& dir = scratchRunDir();
    if (!dir.mesh) generateMesh(dir.path);
    dir.mesh = true;
    return readFile(dir.path / "dat" / "Objekt3.asc");
}

std::string generatedLogo() {
    ScratchRunDir& dir = scratchRunDir();
    if (!dir.logo) generateLogo(dir.path);
    dir.logo = true;
    return readFile(dir.path / "dat" / "logoend.ppm");
}

// The lengths to try on a large file: the first and last 50, and 200 spread between.
std::vector<std::size_t> samplePrefixLengths(std::size_t size) {
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= std::min<std::size_t>(50, size); ++n) lengths.push_back(n);
    for (std::size_t k = 1; k < 200; ++k) lengths.push_back(size * k / 200);
    for (std::size_t n = size > 50 ? size - 50 : 0; n < size; ++n) lengths.push_back(n);
    std::sort(lengths.begin(), lengths.end());
    lengths.erase(std::unique(lengths.begin(), lengths.end()), lengths.end());
    return lengths;
}

bool sameRecord(const TuningRecord& a, const TuningRecord& b) {
    return a.time == b.time && a.first == b.first && a.second == b.second && a.third == b.third;
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// Both passes of the model reader on text, through an in-memory stream.
struct ModelRead {
    AscStatus vertices = AscStatus::Malformed;
    AscStatus faces = AscStatus::Malformed;
    AscModel model;
};

ModelRead readModelText(const std::string& text) {
    ModelRead read;
    if (text.empty()) return read;  // nothing to find a keyword in
    std::FILE* const file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (file == nullptr) {
        ADD_FAILURE() << "fmemopen failed";
        return read;
    }
    read.vertices = scanAscVertices(file, read.model);
    std::rewind(file);
    if (read.vertices == AscStatus::Ok) read.faces = scanAscFaces(file, read.model);
    std::fclose(file);
    return read;
}

}  // namespace

TEST(HardeningTruncation, TuningFilesGiveTheRecordsBeforeTheCut) {
    struct Shipped {
        const char* name;
        TuningKind kind;
        int maxRecords;
    };
    for (const Shipped& file : {Shipped{"p-num.dat", TuningKind::ParticleCount, 99}, Shipped{"p-size.dat", TuningKind::Size, 254},
                                Shipped{"p-negative.dat", TuningKind::Negative, 99},
                                Shipped{"p-kszak.dat", TuningKind::Kszak, 100}}) {
        SCOPED_TRACE(file.name);
        const std::string text = shippedFile(file.name);
        TuningList full{file.kind, file.maxRecords};
        parseTuningText(full, text, file.name);
        ASSERT_GT(full.count, 0);
        for (std::size_t n = 0; n <= text.size(); ++n) {
            TuningList cut{file.kind, file.maxRecords};
            parseTuningText(cut, std::string_view(text).substr(0, n), file.name);
            ASSERT_LE(cut.count, full.count) << "prefix " << n;
            EXPECT_EQ(cut.cursor, 0);
            // Only the last record can differ: its last word may be cut.
            for (int i = 0; i + 1 < cut.count; ++i) {
                ASSERT_TRUE(sameRecord(cut.records[i], full.records[i])) << "prefix " << n << ", record " << i;
            }
        }
        TuningList whole{file.kind, file.maxRecords};
        parseTuningText(whole, text, file.name);
        EXPECT_EQ(whole.count, full.count);
    }
}

TEST(HardeningTruncation, LayerListGivesTheGroupsBeforeTheCut) {
    const std::string text = shippedFile("p-blend.dat");
    std::istringstream fullIn(text);
    const LayerReadResult full = readLayerGroups(fullIn);
    ASSERT_EQ(full.status, LayerReadStatus::Ok);
    ASSERT_GT(full.groups.size(), 0u);
    for (std::size_t n = 0; n <= text.size(); ++n) {
        std::istringstream in(text.substr(0, n));
        const LayerReadResult cut = readLayerGroups(in);
        ASSERT_EQ(cut.status, LayerReadStatus::Ok) << "prefix " << n;
        ASSERT_LE(cut.groups.size(), full.groups.size()) << "prefix " << n;
        for (std::size_t i = 0; i < cut.groups.size(); ++i) {
            const LayerGroup& a = cut.groups[i];
            const LayerGroup& b = full.groups[i];
            const bool last = i + 1 == cut.groups.size();
            ASSERT_EQ(a.start, b.start);
            ASSERT_EQ(a.end, b.end);
            ASSERT_EQ(a.image, b.image);
            if (last) {
                ASSERT_TRUE(startsWith(b.effect, a.effect)) << "prefix " << n;
            } else {
                ASSERT_EQ(a.effect, b.effect);
            }
        }
    }
}

TEST(HardeningTruncation, ConfigurationWordsBeforeTheCut) {
    for (const std::string text : {"1920 1080 fullscreen\n", "320 180 window\n", "1280\t720\r\nfullscreen"}) {
        for (std::size_t n = 0; n <= text.size(); ++n) {
            const std::string cut = text.substr(0, n);
            std::istringstream words(cut);
            std::string width, height, mode;
            words >> width >> height >> mode;
            std::istringstream in(cut);
            readConfigWords(in);
            EXPECT_EQ(screenWidth, std::atoi(width.c_str())) << '"' << cut << '"';
            EXPECT_EQ(screenHeight, std::atoi(height.c_str())) << '"' << cut << '"';
            EXPECT_EQ(fullScreen, mode == "fullscreen" ? 1 : 0) << '"' << cut << '"';
        }
    }
    screenWidth = 1920;
    screenHeight = 1080;
    fullScreen = 1;
}

TEST(HardeningTruncation, ModelIsWholeOrRefused) {
    const std::string text = generatedModel();
    const ModelRead full = readModelText(text);
    ASSERT_EQ(full.vertices, AscStatus::Ok);
    ASSERT_EQ(full.faces, AscStatus::Ok);
    ASSERT_GT(full.model.faceCount, 0);
    int wholeModels = 0;
    for (std::size_t n = 0; n < text.size(); ++n) {
        const ModelRead cut = readModelText(text.substr(0, n));
        if (cut.vertices != AscStatus::Ok) {
            ASSERT_EQ(cut.vertices, AscStatus::Malformed) << "prefix " << n;
            ASSERT_TRUE(cut.model.vertices.empty()) << "prefix " << n;
            continue;
        }
        // A vertex pass that succeeds has every vertex; only the very last value word
        // may have lost digits.
        ASSERT_EQ(cut.model.vertexCount, full.model.vertexCount) << "prefix " << n;
        ASSERT_TRUE(std::equal(cut.model.vertices.begin(), cut.model.vertices.end() - 1, full.model.vertices.begin()))
            << "prefix " << n;
        if (cut.faces != AscStatus::Ok) {
            ASSERT_TRUE(cut.model.faces.empty()) << "prefix " << n;
            continue;
        }
        ASSERT_EQ(cut.model.faceCount, full.model.faceCount) << "prefix " << n;
        ASSERT_TRUE(std::equal(cut.model.faces.begin(), cut.model.faces.end() - 1, full.model.faces.begin()))
            << "prefix " << n;
        ASSERT_EQ(cut.model.vertices, full.model.vertices) << "prefix " << n;
        ++wholeModels;
    }
    // Only a cut inside or after the very last face's values can still read as a model.
    EXPECT_LT(wholeModels, 64);
}

TEST(HardeningTruncation, LogoImageIsWholeOrRefused) {
    const std::string text = generatedLogo();
    ASSERT_GT(text.size(), 1000000u);
    constexpr std::size_t kPixels = static_cast<std::size_t>(kLogoWidth) * kLogoHeight;
    std::vector<int> full(kPixels, -1);
    std::string error;
    ASSERT_TRUE(parsePpmRedChannel(text, kLogoHeight, kLogoWidth, full, error)) << error;
    std::vector<int> grid(kPixels);
    int refused = 0;
    for (const std::size_t n : samplePrefixLengths(text.size())) {
        error.clear();
        const bool ok = parsePpmRedChannel(std::string_view(text).substr(0, n), kLogoHeight, kLogoWidth, grid, error);
        if (!ok) {
            ASSERT_FALSE(error.empty()) << "prefix " << n;
            ++refused;
            continue;
        }
        // Accepted only when every pixel is there: a cut in the last blue value.
        ASSERT_EQ(grid, full) << "prefix " << n;
    }
    EXPECT_GT(refused, 240);
}

TEST(HardeningTruncation, ParticleCacheIsWholeOrLeftAlone) {
    const fluidtest::SavedFluidState saved;
    // The cache exactly as the program writes it after sampling the generated logo.
    const std::string image = generatedLogo();
    std::string error;
    ASSERT_TRUE(parsePpmRedChannel(image, kLogoHeight, kLogoWidth, logoPixels, error)) << error;
    seedRandom(500);
    ASSERT_GT(sampleParticleTargets(), 0);
    const std::string text = formatParticleCache(particleTargets);

    auto full = std::make_unique<std::array<ParticlePosition, kMaxParticles>>();
    ASSERT_TRUE(parseParticleCache(text, *full));
    auto targets = std::make_unique<std::array<ParticlePosition, kMaxParticles>>();
    int accepted = 0;
    for (const std::size_t n : samplePrefixLengths(text.size())) {
        targets->fill({-1.0f, -1.0f});
        if (!parseParticleCache(std::string_view(text).substr(0, n), *targets)) {
            ASSERT_TRUE(std::all_of(targets->begin(), targets->end(),
                                    [](const ParticlePosition& p) { return p.x == -1.0f && p.y == -1.0f; }))
                << "prefix " << n;
            continue;
        }
        // Only the last coordinate can have lost digits; the trailer is not needed.
        ++accepted;
        ASSERT_TRUE(std::equal(targets->begin(), targets->end() - 1, full->begin(),
                               [](const ParticlePosition& a, const ParticlePosition& b) {
                                   return a.x == b.x && a.y == b.y;
                               }))
            << "prefix " << n;
        ASSERT_EQ(targets->back().x, full->back().x);
    }
    // Prefixes that end inside the trailer or just before it.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 51);
}
