// The data files the demo reads, cut short and read through the real parsers: each prefix
// gives what the format says a shorter file gives, or a clean refusal. Small files are cut
// at every length; the model, which repeats one record, around each change of section. (The
// logo image and the particle cache: fluid_particle_map_test and their fuzzers.)
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "assets.h"
#include "render/layer_list.h"
#include "sim/asc_reader.h"
#include "testing/scratch_files.h"
#include "timeline/tuning.h"

namespace {

namespace fs = std::filesystem;

using testfiles::readFile;

// A generated asset (dat/Objekt3.asc), made in a scratch folder.
std::string generated(const char* name, void (*generate)(const fs::path&)) {
    const testfiles::ScratchDir dir;
    fs::create_directories(dir.path() / "dat");
    generate(dir.path());
    return readFile(dir.path() / "dat" / name);
}

// Every length within head bytes of the start, tail bytes of the end and 160 bytes of the
// anchor, and seven lengths spread between.
std::set<std::size_t> cutLengths(const std::string& text, std::size_t head, std::size_t tail, const char* anchor) {
    std::set<std::size_t> lengths;
    const auto range = [&](std::size_t from, std::size_t to) {
        for (std::size_t n = from; n < std::min(to, text.size()); ++n) lengths.insert(n);
    };
    const std::size_t at = text.find(anchor);
    EXPECT_NE(at, std::string::npos) << anchor;
    range(0, head);
    range(text.size() - tail, text.size());
    range(at > 160 ? at - 160 : 0, at + 160);
    for (std::size_t k = 1; k < 8; ++k) lengths.insert(text.size() * k / 8);
    return lengths;
}

}  // namespace

// The records before the cut; only the last one read may have lost the end of its last word.
TEST(HardeningTruncation, TuningFilesAndLayerListGiveTheRecordsBeforeTheCut) {
    for (const auto& [name, kind, maxRecords] :
         std::initializer_list<std::tuple<const char*, TuningKind, int>>{{"p-num.dat", TuningKind::ParticleCount, 99},
                                                                         {"p-size.dat", TuningKind::Size, 254},
                                                                         {"p-negative.dat", TuningKind::Negative, 99},
                                                                         {"p-kszak.dat", TuningKind::Kszak, 100}}) {
        const std::string text = readFile(fs::path(VELKARN_SOURCE_DIR) / "dat" / name);
        TuningList full{kind, maxRecords};
        parseTuningText(full, text, name);
        ASSERT_GT(full.count, 0) << name;
        for (std::size_t n = 0; n <= text.size(); ++n) {
            TuningList cut{kind, maxRecords};
            parseTuningText(cut, std::string_view(text).substr(0, n), name);
            ASSERT_LE(cut.count, full.count) << name << " cut at " << n;
            for (int i = 0; i + 1 < cut.count; ++i) {
                ASSERT_EQ(cut.records[i], full.records[i]) << name << " cut at " << n << ", record " << i;
            }
        }
    }
    const std::string text = readFile(fs::path(VELKARN_SOURCE_DIR) / "dat" / "p-blend.dat");
    std::istringstream fullIn(text);
    const LayerReadResult full = readLayerGroups(fullIn);
    ASSERT_GT(full.groups.size(), 0u);
    for (std::size_t n = 0; n <= text.size(); ++n) {
        std::istringstream in(text.substr(0, n));
        const LayerReadResult cut = readLayerGroups(in);
        ASSERT_EQ(cut.status, LayerReadStatus::Ok) << "p-blend.dat cut at " << n;
        ASSERT_LE(cut.groups.size(), full.groups.size()) << "p-blend.dat cut at " << n;
        for (std::size_t i = 0; i < cut.groups.size(); ++i) {
            const LayerGroup &a = cut.groups[i], &b = full.groups[i];
            ASSERT_EQ(std::tie(a.start, a.end, a.image), std::tie(b.start, b.end, b.image)) << "cut at " << n;
            ASSERT_TRUE(i + 1 == cut.groups.size() ? b.effect.starts_with(a.effect) : a.effect == b.effect) << n;
        }
    }
}

TEST(HardeningTruncation, ModelIsWholeOrRefused) {
    // Both passes of the model reader through an in-memory stream; a failed pass keeps nothing.
    const auto read = [](std::string text) {
        std::tuple<AscStatus, AscStatus, AscModel> result{AscStatus::Malformed, AscStatus::Malformed, {}};
        auto& [vertices, faces, model] = result;
        std::FILE* const file = text.empty() ? nullptr : fmemopen(text.data(), text.size(), "r");
        if (file == nullptr) return result;  // fmemopen takes no empty buffer
        vertices = scanAscVertices(file, model);
        std::rewind(file);
        if (vertices == AscStatus::Ok) faces = scanAscFaces(file, model);
        std::fclose(file);
        return result;
    };
    const std::string text = generated("Objekt3.asc", generateMesh);
    const auto [vertexPass, facePass, full] = read(text);
    ASSERT_EQ(std::pair(vertexPass, facePass), std::pair(AscStatus::Ok, AscStatus::Ok));
    int wholeModels = 0;
    for (const std::size_t n : cutLengths(text, 240, 240, "Face list:")) {
        const auto [vertices, faces, cut] = read(text.substr(0, n));
        ASSERT_NE(vertices, AscStatus::CannotOpen) << "cut at " << n;
        ASSERT_EQ(cut.vertices.empty(), vertices != AscStatus::Ok) << "cut at " << n;
        ASSERT_EQ(cut.faces.empty(), faces != AscStatus::Ok) << "cut at " << n;
        // Every vertex and face is read; only the very last value word may have lost digits.
        if (vertices == AscStatus::Ok) {
            ASSERT_EQ(cut.vertexCount, full.vertexCount) << "cut at " << n;
            ASSERT_TRUE(std::equal(cut.vertices.begin(), cut.vertices.end() - 1, full.vertices.begin())) << n;
        }
        if (faces == AscStatus::Ok) {
            ASSERT_EQ(cut.faceCount, full.faceCount) << "cut at " << n;
            ASSERT_TRUE(std::equal(cut.faces.begin(), cut.faces.end() - 1, full.faces.begin())) << n;
            ASSERT_EQ(cut.vertices, full.vertices) << "cut at " << n;
            ++wholeModels;
        }
    }
    // Only a cut inside or after the very last face's values can still read as a model.
    EXPECT_GT(wholeModels, 0);
    EXPECT_LT(wholeModels, 64);
}
