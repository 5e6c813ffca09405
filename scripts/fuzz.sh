#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz (the "fuzz" preset) and runs every
# one of them for SECONDS (default 20), after replaying the saved regression inputs. Exits
# non-zero on any crash, leak, timeout (over 5 s for one input) or sanitizer report.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
case $seconds in '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac

command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is needed for libFuzzer" >&2; exit 1; }
cd "$root"
cmake --preset fuzz -DVELKARN_FUZZ_SECONDS="$seconds" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz
