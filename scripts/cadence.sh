#!/usr/bin/env bash
# How evenly a capture moves: the change from each frame to the next, the mean absolute
# difference of the grey value (Rec. 709 luma, 0..1, as scripts/look.sh measures frames),
# and how much that change varies. A steady motion shown at an even cadence gives steps of
# equal size; frames that stand still between two that jump show as a high variation and a
# low 10th percentile against the 90th.
#   scripts/cadence.sh [--values] DIR
# DIR holds a capture's frame-NNNNNN.png (velkarn --capture). Prints, one "name value" a line:
#   changes N     the number of frame-to-frame changes (frames - 1)
#   mean M        their mean
#   cv C          coefficient of variation: standard deviation (of the population) / mean
#   p10_p90 R     10th over 90th percentile, nearest rank
# --values first prints every change, one a line, in frame order, as "change VALUE".
# A capture that never changes has no cadence: cv and p10_p90 are then "nan".
set -euo pipefail

values=0
case ${1:-} in
  --values) values=1; shift ;;
  -h|--help) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
esac
[ $# -eq 1 ] || { echo "usage: scripts/cadence.sh [--values] DIR" >&2; exit 2; }
dir=$1
[ -d "$dir" ] || { echo "cadence: no folder $dir" >&2; exit 1; }

shopt -s nullglob
# Zero-padded numbers: the glob's order is the frame order.
frames=("$dir"/frame-*.png)
[ ${#frames[@]} -ge 2 ] || { echo "cadence: fewer than two frames in $dir" >&2; exit 1; }

size=$(identify -quiet -format '%wx%h' "${frames[0]}[0]")
changes=$(
  for ((i = 1; i < ${#frames[@]}; ++i)); do
    a=${frames[i - 1]} b=${frames[i]}
    # A frame of another size would be compared against a corner of the other one.
    [ "$(identify -quiet -format '%wx%h' "${b}[0]")" = "$size" ] ||
      { echo "cadence: $b is not $size like ${frames[0]}" >&2; exit 1; }
    # The captures' alpha is opaque and not what the viewer sees.
    convert -quiet "$a" "$b" -alpha off -grayscale Rec709Luma -compose difference -composite \
      -format '%[fx:mean]\n' info:
  done
)
[ "$(wc -l <<< "$changes")" -eq $((${#frames[@]} - 1)) ] ||
  { echo "cadence: could not measure every pair of frames" >&2; exit 1; }

[ $values = 1 ] && awk '{ printf "change %.6f\n", $1 }' <<< "$changes"
sort -g <<< "$changes" | awk '
  { v[NR] = $1; sum += $1 }
  # Nearest rank: the smallest value with at least p of the values at or below it.
  function rank(p,   k) { k = int(p * NR); if (k < p * NR) ++k; return k < 1 ? 1 : k }
  END {
    mean = sum / NR
    for (i = 1; i <= NR; ++i) sq += (v[i] - mean) ^ 2
    printf "changes %d\nmean %.6f\n", NR, mean
    if (mean > 0) printf "cv %.4f\n", sqrt(sq / NR) / mean
    else print "cv nan"
    p90 = v[rank(0.9)]
    if (p90 > 0) printf "p10_p90 %.4f\n", v[rank(0.1)] / p90
    else print "p10_p90 nan"
  }'
