#!/usr/bin/env bash
# A short animated preview for the README: two-second pieces of seven sections, rendered
# at 1920 by 1080 (point sizes follow the picture height, so this is what a viewer sees)
# and 10 frames per second, scaled to 480 by 270 and joined into one looping animation.
# Each piece starts a few seconds early, so its particles have moved with the fluid.
#   scripts/preview.sh [OUT.gif | OUT.webp]
# VELKARN_BUILD_DIR chooses another build directory (default build/).
# Default: docs/preview.gif. Builds the demo first (Release). It says which commit it drew,
# and drawn-from.txt beside the animation keeps that.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/preview.gif}
case $out in /*) ;; *) out="$PWD/$out" ;; esac
case $out in *.gif | *.webp) ;; *) echo "preview: the output must be a .gif or .webp file" >&2; exit 2 ;; esac
width=1920
height=1080
fps=10
# intro, tilt, dusk, slide, blob strings, squeezed band, the particles gathering into the
# end logo: 2 s each, rendered from `lead` seconds before at `rate` frames a second (the
# particles' speed grows with the frame rate: the gathering is rendered at the viewer's 60)
sections=(3 35 61 75 112 149 206)
leads=(3 3 3 3 3 3 6)
rates=(10 10 10 10 10 10 60)

source "$root/scripts/lib/drawn-from.sh"
commit=$(drawn_from)
source "$root/scripts/lib/offline-run.sh"
prepare_offline_run "$width" "$height"
mkdir all
n=0
for i in "${!sections[@]}"; do
  t=${sections[$i]}
  rate=${rates[$i]}
  end=$(awk -v t="$t" -v f="$fps" 'BEGIN { printf "%.3f", t + 2 - 1 / f }')
  early=$(awk -v t="$t" -v l="${leads[$i]}" 'BEGIN { print (t > l ? t - l : 0) }')
  "$root/scripts/with-display.sh" "$build/run/velkarn" --capture "s$t" --fps "$rate" --start "$early" --end "$end" >/dev/null
  skip=$(awk -v t="$t" -v e="$early" -v f="$rate" 'BEGIN { printf "%d", (t - e) * f + 0.5 }')
  for frame in "s$t"/frame-*.png; do
    index=${frame##*-}
    index=$((10#${index%.png}))
    if [ "$index" -ge "$skip" ] && [ $(((index - skip) % (rate / fps))) -eq 0 ]; then
      convert "$frame" -filter Triangle -resize 480x270! "$(printf 'all/%05d.png' "$n")"
      n=$((n + 1))
    fi
  done
done

mkdir -p "$(dirname "$out")"
if [[ $out == *.gif ]]; then
  # One palette for the whole animation keeps the colours steady between sections; 64
  # colours without dithering keep the file small (the particles are noise to a GIF).
  ffmpeg -v error -y -framerate "$fps" -i all/%05d.png \
    -vf "split[a][b];[a]palettegen=max_colors=64:stats_mode=diff[p];[b][p]paletteuse=dither=none:diff_mode=rectangle" -loop 0 "$out"
else
  ffmpeg -v error -y -framerate "$fps" -i all/%05d.png -c:v libwebp_anim -lossless 0 -q:v 70 -loop 0 "$out"
fi
echo "wrote $out ($n frames)"
note_drawn_from "$out" "$commit"
