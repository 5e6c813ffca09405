#!/usr/bin/env bash
# Renders the whole demo offline (2 frames per second, so every scene has the state the
# frames before it left) and lays a dozen moments out as one picture.
#   scripts/contact-sheet.sh [OUT.png] [WIDTH HEIGHT]
# Default: docs/contact-sheet.png from 640 by 360 frames. Builds the demo first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/contact-sheet.png}
width=${2:-640}
height=${3:-360}
case $out in /*) ;; *) out="$PWD/$out" ;; esac
moments=(3 12 26.5 35 50 75 97 112 136 150 168 212)
labels=("intro" "intro" "twist" "tilt" "wobble" "slide" "blob fall" "blob strings" "particle wall" "squeezed" "credits" "end logo")

source "$root/scripts/lib/offline-run.sh"
prepare_offline_run "$width" "$height"
"$root/scripts/with-display.sh" "$build/run/velkarn" --capture frames --fps 2 >/dev/null
tiles=()
for i in "${!moments[@]}"; do
  t=${moments[$i]}
  frame=$(printf 'frames/frame-%06d.png' "$(awk -v t="$t" 'BEGIN { printf "%d", t * 2 + 0.5 }')")
  convert "$frame" -font DejaVu-Sans -gravity SouthWest -fill white -undercolor '#00000080' \
    -pointsize $((height / 18)) -annotate +6+6 " ${t} s  ${labels[$i]} " "tile$i.png"
  tiles+=("tile$i.png")
done
mkdir -p "$(dirname "$out")"
montage "${tiles[@]}" -tile 4x3 -geometry "${width}x${height}+4+4" -background '#111111' "$out"
echo "wrote $out"
