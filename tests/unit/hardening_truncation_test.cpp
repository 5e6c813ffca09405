// The model file cut short and read through the real reader: each prefix gives the whole
// model or a clean refusal, cut at every length near its start, its end and the start of the
// face list. (Cut tuning files and layer lists: the readers' warning tables and fuzzers; the
// logo image and the particle cache: fluid_particle_map_test and their fuzzers.)
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>

#include "assets.h"
#include "sim/asc_reader.h"
#include "testing/scratch_files.h"

namespace {

namespace fs = std::filesystem;

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
    const testfiles::ScratchDir dir;  // the generated model
    fs::create_directories(dir.path() / "dat");
    generateMesh(dir.path());
    const std::string text = testfiles::readFile(dir.path() / "dat" / "Objekt3.asc");
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
