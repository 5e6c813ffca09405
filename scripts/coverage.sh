#!/usr/bin/env bash
# Line coverage of src/ over the whole suite (unit, rendering and end-to-end tests), in its
# own gcov build under build-cov/ (the "coverage" preset). Prints gcovr's per-file table and
# the total line.
# Extra arguments go to ctest, e.g.: scripts/coverage.sh -L unit
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${VELKARN_COVERAGE_DIR:-$root/build-cov}"

"$root/scripts/install-deps.sh" coverage
cmake -S "$root" --preset coverage -B "$build" >/dev/null
cmake --build "$build"
find "$build" -name '*.gcda' -delete

source "$root/scripts/lib/sanitized-tests.sh"
export_test_environment "$root"
status=0
(cd "$build" && "$root/scripts/with-display.sh" ctest -j2 --output-on-failure "$@") || status=$?

# Several processes write the same .gcda files; gcov merges them under a lock.
gcovr --root "$root" --filter "$root/src/" --print-summary "$build" \
  | tee "$build/coverage.txt"
exit "$status"
