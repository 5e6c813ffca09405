#!/usr/bin/env bash
# Renders the whole demo offline into a video with its music.
#   scripts/make-video.sh [OUT.mp4] [WIDTH HEIGHT] [FPS] [PRESET]
# PRESET may stand anywhere among the other words (scripts/make-video.sh web).
# VELKARN_BUILD_DIR chooses another build directory (default build/).
# Default: velkarn.mp4 at 1920 by 1080, 60 frames per second, the quality preset (the
# others: archive, web, compo; see --video-preset in --help). Builds the demo first
# (Release, in build/). The rendering takes far longer than the demo runs when the GL
# driver is a software one; the progress line shows the time left.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=quality
words=()
for word; do
  case $word in quality | archive | web | compo) preset=$word ;; *) words+=("$word") ;; esac
done
set -- ${words[@]+"${words[@]}"}
out=${1:-velkarn.mp4}
width=${2:-1920}
height=${3:-1080}
fps=${4:-60}
case $out in /*) ;; *) out="$PWD/$out" ;; esac

source "$root/scripts/lib/offline-run.sh"
prepare_offline_run "$width" "$height"
"$root/scripts/with-display.sh" "$build/run/velkarn" --video "$out" --fps "$fps" --video-preset "$preset"
