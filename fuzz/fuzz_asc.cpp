// Fuzzes both passes of the ASC model reader through an in-memory stream, checking what
// the soft bodies rely on: arrays sized by their counts and every index in range.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "sim/asc_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;  // fmemopen refuses an empty buffer
    std::FILE* const file = fmemopen(const_cast<std::uint8_t*>(data), size, "r");
    if (file == nullptr) return 0;
    AscModel model;
    const AscStatus vertices = scanAscVertices(file, model);
    if (vertices == AscStatus::Ok) {
        if (model.vertexCount < 0 || model.vertices.size() != static_cast<std::size_t>(model.vertexCount) * 3) {
            std::abort();
        }
    } else {
        if (model.vertexCount != 0 || !model.vertices.empty()) std::abort();  // a failed pass leaves the model alone
        model.vertexCount = 1 << 20;                                          // let the face pass run on its own
    }
    std::rewind(file);
    if (scanAscFaces(file, model) == AscStatus::Ok) {
        if (model.faces.size() != static_cast<std::size_t>(model.faceCount) * 3) std::abort();
        for (const std::int32_t index : model.faces) {
            if (index < 0 || index >= model.vertexCount) std::abort();
        }
    } else if (model.faceCount != 0 || !model.faces.empty()) {
        std::abort();
    }
    std::fclose(file);
    return 0;
}
