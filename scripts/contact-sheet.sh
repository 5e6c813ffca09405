#!/usr/bin/env bash
# Renders a dozen moments of the demo offline and lays them out as one picture, each scaled
# down to 640 pixels wide. Each moment is its own run from --start, which runs the frame
# rules of every moment before it: the frame is the one a whole run shows there. Point
# sizes follow the picture height, so the frames are rendered at the viewer's size, not at
# the size of the tiles. The sheet's foot names the commit it was drawn from, and
# drawn-from.txt beside it keeps that too.
#   scripts/contact-sheet.sh [OUT.png] [WIDTH HEIGHT]
# Default: docs/contact-sheet.png from 1920 by 1080 frames. Builds the demo first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/contact-sheet.png}
width=${2:-1920}
height=${3:-1080}
tile_width=640
tile_height=$((tile_width * height / width))
case $out in /*) ;; *) out="$PWD/$out" ;; esac
moments=(3 26.5 35 50 62 75 97 112 136 148 168 212)
labels=("intro" "twist" "tilt" "drop" "dusk" "slide" "blob fall" "blob strings" "particle wall" "squeezed band" "credits" "end logo")

source "$root/scripts/lib/drawn-from.sh"
commit=$(drawn_from)
source "$root/scripts/lib/offline-run.sh"
prepare_offline_run "$width" "$height"
tiles=()
for i in "${!moments[@]}"; do
  t=${moments[$i]}
  "$root/scripts/with-display.sh" "$build/run/velkarn" --capture "m$i" --start "$t" --end "$t" >/dev/null
  frame=m$i/frame-000000.png
  convert "$frame" -filter Triangle -resize "${tile_width}x${tile_height}!" -font DejaVu-Sans -gravity SouthWest \
    -fill white -undercolor '#00000080' -pointsize $((tile_height / 18)) -annotate +6+6 " ${t} s  ${labels[$i]} " "tile$i.png"
  tiles+=("tile$i.png")
done
mkdir -p "$(dirname "$out")"
montage "${tiles[@]}" -tile 4x3 -geometry "${tile_width}x${tile_height}+4+4" -background '#111111' sheet.png
convert sheet.png -background '#111111' -fill '#888888' -font DejaVu-Sans -pointsize 14 \
  label:"the vel karn at ${width} by ${height}, commit ${commit}" -gravity East -append -set comment "commit $commit" "$out"
note_drawn_from "$out" "$commit"
