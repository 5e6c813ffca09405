#!/usr/bin/env bash
# Runs the demo under valgrind's memcheck: a ten-second capture at 320 by 180 from a
# RelWithDebInfo build (no sanitizers; the "valgrind" preset). Fails on any invalid read or
# write, use of an uninitialised value or definite leak outside the system's GL, X and audio
# libraries (tests/valgrind.supp holds those).
#   scripts/valgrind-check.sh [BUILD_DIR]   (default build-valgrind)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-valgrind}
command -v valgrind >/dev/null || { echo "valgrind-check: valgrind is not installed" >&2; exit 1; }
# Without a display, run again under a private Xvfb.
[ -n "${DISPLAY:-}" ] || exec "$root/scripts/with-display.sh" "$0" "$@"

cmake -S "$root" --preset valgrind -B "$build" >/dev/null
cmake --build "$build" --target velkarn

work="$build/valgrind-work"
rm -rf "$work"
mkdir -p "$work"
cp -rL "$build/run/dat" "$work/dat"
rm -f "$work/dat/p-particlemap.dat"  # the first start samples the logo and writes the cache
echo "320 180 window" > "$work/QRV-Velkarn-config.dat"
cd "$work"

export LIBGL_ALWAYS_SOFTWARE=1 LP_NUM_THREADS=0 SDL_AUDIODRIVER=dummy
status=0
start=$(date +%s)
valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --track-origins=no --num-callers=30 \
    --suppressions="$root/tests/valgrind.supp" --log-file="$work/valgrind.log" \
  "$build/run/velkarn" --capture frames --fps 2 --start 0 --end 10 >"$work/stdout.txt" 2>"$work/stderr.txt" || status=$?
summary=$(grep -E "ERROR SUMMARY|definitely lost" "$work/valgrind.log" || true)
echo "$summary"
frames=$(ls "$work/frames" 2>/dev/null | wc -l)
echo "valgrind-check: $frames frames captured in $(( $(date +%s) - start )) s, exit status $status"
if [ "$status" -ne 0 ] || [ "$frames" -lt 20 ]; then
  grep -E "^==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|[0-9,]+ bytes in)" -A12 "$work/valgrind.log" | head -80 >&2
  echo "valgrind-check: failed; the full report is $work/valgrind.log" >&2
  exit 1
fi
