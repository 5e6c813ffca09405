#!/usr/bin/env bash
# A picture of the cadence at 144 frames a second: six consecutive frames from 33 s (the
# particles riding the fluid under a moving camera), the same crop of each side by side,
# and under each the change to the next frame (the grey difference, four times as bright).
# Each frame is labelled with its time and its place on the grid of ticks (60 a second):
# 1980.42 lies 0.42 of the way from tick 1980 to tick 1981.
#   scripts/cadence-strip.sh [--size W H] [--keep DIR] PROGRAM_DIR OUT.png
# PROGRAM_DIR holds a velkarn and the dat/ it reads (build/run, or a copy of an older
# program); it is run there. --size: the capture's size (default 1280 720); the crop is
# the same region of the picture at any size. --keep DIR keeps the seven frames captured
# (the seventh is only compared against).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

width=1280 height=720 keep=""
while [ $# -gt 0 ]; do
  case $1 in
    --size) width=${2:?--size needs W H}; height=${3:?--size needs W H}; shift 3 ;;
    --keep) keep=${2:?--keep needs a folder}; shift 2 ;;
    -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) break ;;
  esac
done
[ $# -eq 2 ] || { echo "usage: scripts/cadence-strip.sh [--size W H] [--keep DIR] PROGRAM_DIR OUT.png" >&2; exit 2; }
program_dir=$(cd "$1" && pwd)
out=$2
case $out in /*) ;; *) out="$PWD/$out" ;; esac
[ -x "$program_dir/velkarn" ] && [ -d "$program_dir/dat" ] ||
  { echo "cadence-strip: $program_dir holds no velkarn and dat/" >&2; exit 1; }

fps=144 start=33 count=6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
frames=${keep:-$work/frames}
case $frames in /*) ;; *) frames="$PWD/$frames" ;; esac
rm -rf "$frames"
# Half a frame past the seventh: the end is the last frame at or before it.
end=$(awk -v s="$start" -v n="$count" -v f="$fps" 'BEGIN { printf "%.6f", s + (n + 0.5) / f }')
(cd "$program_dir" && "$root/scripts/with-display.sh" ./velkarn "$width" "$height" \
    --capture "$frames" --fps "$fps" --start "$start" --end "$end") >"$work/run.log" 2>&1 ||
  { cat "$work/run.log" >&2; echo "cadence-strip: the capture failed" >&2; exit 1; }

# The crop: the bright strings left of the dense field and the field's edge, 5/16 by 5/12
# of the picture.
crop_w=$((width * 5 / 16)) crop_h=$((height * 5 / 12))
crop="${crop_w}x${crop_h}+$((width * 7 / 32))+$((height / 4))"
label_size=$((crop_h / 16 > 11 ? crop_h / 16 : 11))
cells=()
for ((k = 0; k < count; ++k)); do
  a=$(printf '%s/frame-%06d.png' "$frames" "$k")
  b=$(printf '%s/frame-%06d.png' "$frames" $((k + 1)))
  [ -f "$a" ] && [ -f "$b" ] || { echo "cadence-strip: the capture has no frame $((k + 1))" >&2; exit 1; }
  label=$(awk -v s="$start" -v k="$k" -v f="$fps" 'BEGIN {
      t = s + k / f; printf "%.4f s  tick %.2f", t, t * 60 }')
  change=$(convert -quiet "$a" "$b" -alpha off -grayscale Rec709Luma -compose difference -composite \
    -format '%[fx:mean]' info:)
  convert -quiet "$a" -crop "$crop" +repage \
    \( "$a" "$b" -alpha off -grayscale Rec709Luma -compose difference -composite -crop "$crop" +repage \
       -evaluate multiply 4 \) -append \
    -background '#101010' -fill '#dddddd' -font DejaVu-Sans -pointsize "$label_size" \
    -gravity North -splice 0x$((label_size * 2)) -annotate +0+$((label_size / 3)) "$label" \
    -gravity South -splice 0x$((label_size * 2)) \
    -annotate +0+$((label_size / 3)) "$(printf 'change to the next frame %.4f' "$change")" \
    "$work/cell$k.png"
  cells+=("$work/cell$k.png")
done
convert "${cells[@]}" -bordercolor '#101010' -border 3 +append +repage "$out"
echo "wrote $out (${count} frames of ${width}x${height} from ${start} s at ${fps} fps, crop $crop)"
