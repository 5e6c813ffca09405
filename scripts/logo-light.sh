#!/usr/bin/env bash
# Measures how much light the particles bring to the end logo: renders the run from
# the end logo's cue (200 s) to 208 s at 60 frames per second twice, once with no particles (p-num.dat at
# 0), and compares the frames at 208 s inside and outside the logo's black pixels.
#   scripts/logo-light.sh [W H] [--at T] [--fps N]   (default 1920 1080, T = 208, N = 60)
# Prints the particles' mean grey light on the logo, off it, and their ratio, and keeps
# the frame and the particles' light in build/logo-light-WxH/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
width=1920 height=1080 at=208 fps=60
case ${1:-} in ""|--*) ;; *) width=$1 height=$2; shift 2 ;; esac
while [ $# -gt 0 ]; do
  case $1 in
    --at) at=${2:?--at needs a time}; shift 2 ;;
    --fps) fps=${2:?--fps needs a rate}; shift 2 ;;
    *) echo "logo-light.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
out=$root/build/logo-light-${width}x${height}

source "$root/scripts/lib/offline-run.sh"
prepare_offline_run "$width" "$height"
# Both runs read the same particle-map cache, so they draw the same particles.
"$root/scripts/with-display.sh" "$build/run/velkarn" --capture warm-up --fps 1 --start 0 --end 0 >/dev/null
# From the end logo's cue, as the program's table gives it.
from=$("$build/run/velkarn" --cues | awk '$2 == "end-logo-in" { print $1 }')
last=$(awk -v a="$at" -v s="$from" -v f="$fps" 'BEGIN { printf "frame-%06d.png", (a - s) * f + 0.5 }')
"$root/scripts/with-display.sh" "$build/run/velkarn" --capture with --fps "$fps" --start "$from" --end "$at" >/dev/null
printf 'particles\n0 0\n' > dat/p-num.dat
"$root/scripts/with-display.sh" "$build/run/velkarn" --capture without --fps "$fps" --start "$from" --end "$at" >/dev/null

# The particles' light: the difference of the two frames, as grey. The logo: the PPM's
# black pixels, scaled to the picture (the squeezed copy maps the unit square onto it).
convert "with/$last" "without/$last" -compose difference -composite -grayscale Rec709Luma light.png
convert dat/logoend.ppm -resize "${width}x${height}!" -threshold 50% -negate logo.png
convert logo.png -negate off.png
on=$(convert light.png logo.png -compose multiply -composite -format '%[fx:mean]' info:)
off=$(convert light.png off.png -compose multiply -composite -format '%[fx:mean]' info:)
share=$(convert logo.png -format '%[fx:mean]' info:)
mkdir -p "$out"
cp "with/$last" "$out/frame.png"
cp light.png "$out/light.png"
awk -v on="$on" -v off="$off" -v s="$share" 'BEGIN {
  lit = on / s; dark = off / (1 - s)
  printf "logo pixels %.1f%% of the picture; particle light on the logo %.3f, elsewhere %.3f, ratio %.1f\n",
         100 * s, lit, dark, (dark > 0 ? lit / dark : 0) }'
