#!/usr/bin/env bash
# Builds the demo and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# (installing what is missing), starts a private Xvfb when there is no display, and
# runs every test with CTest. Exits non-zero on any failure.
# Extra arguments go to ctest, e.g.: scripts/test.sh -L unit
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-asan"

"$root/scripts/install-deps.sh" test
source "$root/scripts/lib/sanitized-tests.sh"
configure_sanitized_build "$root" "$build"
cd "$root"
cmake --build --preset sanitizers

export_test_environment "$root"
"$root/scripts/with-display.sh" ctest --preset sanitizers "$@"

# The fuzzers, in their own clang build, for a short run each (whole runs only, not when
# ctest was given a selection). VELKARN_FUZZ_SECONDS=0 skips them.
fuzz_seconds=${VELKARN_FUZZ_SECONDS:-20}
if [ "$#" -eq 0 ] && [ "$fuzz_seconds" -gt 0 ]; then
  "$root/scripts/fuzz.sh" "$fuzz_seconds"
fi

# memcheck on a ten-second capture (its own RelWithDebInfo build, about eight minutes on
# two cores with the build): only when asked for with VELKARN_VALGRIND=1.
if [ "$#" -eq 0 ] && [ "${VELKARN_VALGRIND:-0}" = 1 ]; then
  "$root/scripts/valgrind-check.sh"
fi
