#!/usr/bin/env bash
# Builds the demo (installing what is missing), generates its assets and runs it from
# the run directory. Extra arguments go to the program, e.g.: scripts/demo.sh 1280 720 --silent
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
cmake -G Ninja -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" --target velkarn
cd "$root/build/run"
exec ./velkarn "$@"
