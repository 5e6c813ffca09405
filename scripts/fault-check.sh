#!/usr/bin/env bash
# Plants deliberate faults, one at a time, in a copy of the tree and runs the tests against
# each: a suite that lets one of them through has a gap. The copy and its sanitizer build
# (as scripts/test.sh makes it) live in WORK and are reused by the next run.
#   scripts/fault-check.sh [--work WORK] [--only N[,N...]] [--no-baseline] [--list]
# The tests run in three stages, unit, rendering and end-to-end; a fault is caught at the
# first stage with a failing test, and the stages after it are skipped. Before the faults,
# the unchanged copy must pass every stage (--no-baseline skips that run). Exits 1 when a
# fault is missed or cannot be planted.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work="${TMPDIR:-/tmp}/velkarn-fault-check"
only=""
baseline=1
list=0
while [ $# -gt 0 ]; do
  case $1 in
    --work) work=$2; shift 2 ;;
    --only) only=",$2,"; shift 2 ;;
    --no-baseline) baseline=0; shift ;;
    --list) list=1; shift ;;
    *) echo "usage: $0 [--work WORK] [--only N[,N...]] [--no-baseline] [--list]" >&2; exit 2 ;;
  esac
done

# Each fault: the file, what it breaks, a text that stands exactly once in the file, and
# what that text becomes. "<NL>" is a line end (two steps swapped span two lines).
files=() whats=() olds=() news=()
fault() { files+=("$1"); whats+=("$2"); olds+=("$3"); news+=("$4"); }
fault src/sim/fluid.cpp "bounce-back returns a value into its own direction, not the opposite one" \
  "? cell * kDirectionCount + kOppositeDirection[k]" "? cell * kDirectionCount + k"
fault src/sim/fluid.cpp "the driving force points the other way" \
  "scratch.sx[j] = scratch.ux[j] + FORCE_X;" "scratch.sx[j] = scratch.ux[j] - FORCE_X;"
fault src/sim/particles.cpp "the stretch without respawns is inverted (a comparison flipped)" \
  "step.wrapOnly = t > kWrapStart && t < kWrapEnd;" "step.wrapOnly = t > kWrapStart && t > kWrapEnd;"
fault src/sim/particle_map.cpp "a cache of exactly the full count is refused (off by one)" \
  "count < kMaxParticles) return false;" "count <= kMaxParticles) return false;"
fault src/timeline/tuning.cpp "a tuning record applies at its own time, not after it" \
  "list.cursor < list.count && t > list.records" "list.cursor < list.count && t >= list.records"
fault src/sim/asc_reader.cpp "a face index one past the vertex list is accepted (off by one)" \
  "index < 0 || index >= model.vertexCount" "index < 0 || index > model.vertexCount"
fault src/sim/soft_object.cpp "a body with a particle at x = 6 exactly wraps" \
  "if (p.position.x > kWrapLimit) {" "if (p.position.x >= kWrapLimit) {"
fault src/timeline/blob_scene.cpp "the remainder step is the budget less all sub-steps" \
  "const float rest = budget - (covered - kSoftSubStep);" "const float rest = budget - covered;"
fault src/timeline/scene_switch.cpp "the blob section ends at the wall's cue exactly" \
  "if (t > kWallStart) sceneSwitch.blobActive = 0;" "if (t >= kWallStart) sceneSwitch.blobActive = 0;"
fault src/timeline/fluid_stage.cpp "the squeezed copy replaces the wall at its cue exactly" \
  "if (t > kSqueezeStart) return ParticleLayout::Squeezed;" "if (t >= kSqueezeStart) return ParticleLayout::Squeezed;"
fault src/base/cue_times.h "the credits move in the code alone, not in the data and the README" \
  "kCreditsIn{15500," "kCreditsIn{15000,"
fault src/timeline/fluid_stage.cpp "the pulsing square is one cell too tall" \
  "for (int y = s; y < s + n; ++y) {" "for (int y = s; y <= s + n; ++y) {"
fault src/render/layer_list.cpp "a layer is live at its start time" \
  "return layer.start < t && t < layer.end;" "return layer.start <= t && t < layer.end;"
fault src/render/text_file.cpp "CR-LF line ends reach the shader compiler" \
  "if (raw[i] == '\r' && i + 1" "if (false && raw[i] == '\r' && i + 1"
fault src/render/geometry_layout.cpp "the geometry vertex limit ignores the driver's component budget" \
  "limit = std::min(limit, maxTotalComponents" "limit = std::max(limit, maxTotalComponents"
fault src/base/demo_clock.cpp "two steps swapped: the clock takes the new time before the delta" \
  "    clock.delta = musicPosition - clock.time;<NL>    clock.time = musicPosition;" \
  "    clock.time = musicPosition;<NL>    clock.delta = musicPosition - clock.time;"
fault src/base/demo_clock.cpp "a frame runs one tick fewer than are due" \
  "plan.count = last - clock.nextTick + 1;" "plan.count = last - clock.nextTick;"
fault src/base/config.cpp "the letterbox offset of a window one pixel short rounds down to -1" \
  "return (windowHeight - pictureHeight) / 2;" "return (windowHeight - pictureHeight) >> 1;"
fault src/program/keys.cpp "the '-' key takes as many particles as '+' adds" \
  "NUMPARMICRO -= 1410;" "NUMPARMICRO -= 1140;"
fault src/program/options.cpp "the message for an unknown option changes" \
  'failure("unknown option "' 'failure("unrecognised option "'
fault src/base/message_box.cpp "the error line loses its colon" \
  '"Error: %s\n"' '"Error %s\n"'
fault src/program/mp3_decoder.cpp "a seek reports a position one sample frame late" \
  "static_cast<std::int64_t>(reached) : frame;" "static_cast<std::int64_t>(reached) + 1 : frame;"

if [ "$list" = 1 ]; then
  for i in "${!files[@]}"; do printf '%2d  %-30s %s\n' $((i + 1)) "${files[$i]}" "${whats[$i]}"; done
  exit 0
fi

tree="$work/tree"
build="$work/build"
# The copy follows the working tree, uncommitted changes included. Only files whose content
# differs are written (with a new time), so the kept build recompiles just those.
stage="$work/stage"
rm -rf "$stage"
mkdir -p "$stage" "$tree"
(cd "$root" && git ls-files -co --exclude-standard -z | tar --null --ignore-failed-read -T - -cf - 2>/dev/null) |
  tar -xf - -C "$stage"
(cd "$stage" && find . -type f -print0) | while IFS= read -r -d '' f; do
  cmp -s "$stage/$f" "$tree/$f" || { mkdir -p "$(dirname "$tree/$f")"; cp "$stage/$f" "$tree/$f"; }
done
(cd "$tree" && find . -type f -print0) | while IFS= read -r -d '' f; do
  [ -e "$stage/$f" ] || rm "$tree/$f"
done

"$root/scripts/install-deps.sh" test
source "$root/scripts/lib/sanitized-tests.sh"
configure_sanitized_build "$tree" "$build" -DVELKARN_BENCH=OFF
export_test_environment "$tree"

# Runs the stages in order; prints "label: failing tests" for the first stage that fails.
run_stages() {
  local label output
  for label in unit gl e2e; do
    output=$(cd "$build" && "$root/scripts/with-display.sh" ctest -L "^${label}\$" -j2 --timeout 600 \
      --output-on-failure 2>&1) && continue
    # What the failing tests printed, for a baseline that fails or a fault caught oddly.
    printf '%s\n' "$output" > "$work/last-failure.txt"
    echo "$label: $(sed -n '/tests FAILED:/,$p' <<<"$output" | sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\).*/\1/p' | tr '\n' ' ')"
    return 0
  done
  return 1
}

# Replaces the one occurrence of OLD in FILE by NEW (literal texts, "<NL>" for a line end).
plant() {
  FAULT_OLD=$2 FAULT_NEW=$3 perl -0777 -i -pe '
    my ($old, $new) = ($ENV{FAULT_OLD}, $ENV{FAULT_NEW});
    s/<NL>/\n/g for ($old, $new);
    my $n = () = /\Q$old\E/g;
    die "the text stands $n times\n" unless $n == 1;
    s/\Q$old\E/$new/;
  ' "$1"
}

cmake --build "$build" >/dev/null
if [ "$baseline" = 1 ]; then
  echo "baseline: the unchanged tree"
  if caught=$(run_stages); then
    echo "the unchanged tree fails ($caught); fix that first" >&2
    exit 1
  fi
fi

missed=0
for i in "${!files[@]}"; do
  number=$((i + 1))
  [ -n "$only" ] && [[ $only != *",$number,"* ]] && continue
  file=${files[$i]} what=${whats[$i]} old=${olds[$i]} new=${news[$i]}
  cp "$tree/$file" "$work/original"
  # An interrupted run must not leave the fault in the copy.
  trap 'cp "$work/original" "$tree/$file"; touch "$tree/$file"' EXIT
  result=""
  if ! plant "$tree/$file" "$old" "$new" 2>"$work/plant.err"; then
    result="NOT PLANTED: $(cat "$work/plant.err")"
    missed=1
  elif ! cmake --build "$build" >"$work/build.log" 2>&1; then
    result="NOT PLANTED: the tree no longer builds (see $work/build.log)"
    missed=1
  elif result=$(run_stages); then
    :
  else
    result="MISSED"
    missed=1
  fi
  cp "$work/original" "$tree/$file"
  touch "$tree/$file"
  trap - EXIT
  printf '%2d  %-30s %s\n      -> %s\n' "$number" "$file" "$what" "$result"
done
cmake --build "$build" >/dev/null
exit "$missed"
