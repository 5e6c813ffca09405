# scripts/check-layers.sh passes the source tree and fails on an include that runs up, on
# one into a folder that is no floor, and on a folder that is no floor.
set -euo pipefail
check=$1/scripts/check-layers.sh work=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
"$check" "$1/src" || fail "the source tree has an upward include"

tree() {
  rm -rf "$work"
  mkdir -p "$work"/{base,sim,render,timeline,program}
  printf '#include "base/clock.h"\n' > "$work/program/main.cpp"
  printf '#include "sim/fluid.h"\n' > "$work/render/draw_gl.cpp"
}
tree
"$check" "$work" || fail "includes that run down were refused"
tree
printf '#pragma once\n#include "timeline/tick.h"\n' > "$work/sim/fluid.h"
! "$check" "$work" 2>/dev/null || fail "sim including timeline passed"
tree
printf '#include "tools/synth.h"\n' > "$work/base/clock.cpp"
! "$check" "$work" 2>/dev/null || fail "an include of a folder that is no floor passed"
tree
mkdir "$work/extra"
! "$check" "$work" 2>/dev/null || fail "a folder that is no floor passed"
echo ok
