#!/usr/bin/env bash
# Builds the demo and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# (installing what is missing), starts a private Xvfb when there is no display, and
# runs every test with CTest. Exits non-zero on any failure.
# Extra arguments go to ctest, e.g.: scripts/test.sh -L unit
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-asan"

"$root/scripts/install-deps.sh" test
cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVELKARN_SANITIZE=ON -DVELKARN_WERROR=ON \
  -DVELKARN_TESTS=ON -DVELKARN_BENCH=ON >/dev/null
cmake --build "$build"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Software GL in a private X server; no sound device is needed.
export LIBGL_ALWAYS_SOFTWARE=1
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
cd "$build"
"$root/scripts/with-display.sh" ctest --output-on-failure -j2 "$@"

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
