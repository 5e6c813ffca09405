// Fuzzes the tuning-file parser with each input read as all four kinds of file, then
// plays the schedules through so every record is applied.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sim/particles.h"
#include "timeline/tuning.h"

namespace {

void checkList(const TuningList& list) {
    if (list.count < 0 || list.count > list.maxRecords || list.cursor != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TuningList* const lists[] = {&tuning.numList, &tuning.sizeList, &tuning.negativeList, &tuning.kszakList};
    for (TuningList* list : lists) {
        parseTuningText(*list, text, "fuzz input");
        checkList(*list);
    }
    // Far enough in time that every record is due; one record per list per call.
    for (int frame = 0; frame <= kMaxTuningRecords; ++frame) applyTuningSchedules(1e30f);
    if (particles.particleCount > kMaxParticles) std::abort();
    for (const TuningList* list : lists) {
        // A record with a NaN time never becomes due; every other one has applied.
        if (list->cursor > list->count) std::abort();
    }
    resetTuningCursors();
    return 0;
}
