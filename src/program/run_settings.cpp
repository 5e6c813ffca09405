// The run's settings, kept where only settleRunSettings writes them.
#include "program/run_settings.h"

#include <utility>

namespace {

RunSettings settled;

}  // namespace

const RunSettings& runSettings() { return settled; }

void settleRunSettings(RunSettings settings) { settled = std::move(settings); }
