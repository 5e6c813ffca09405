#!/usr/bin/env bash
# Builds the demo (installing what is missing), generates its assets and runs it from
# the run directory. Extra arguments go to the program, e.g.: scripts/demo.sh 1280 720 --silent
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release --target velkarn
cd "$root/build/run"
exec ./velkarn "$@"
