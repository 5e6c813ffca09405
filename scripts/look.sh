#!/usr/bin/env bash
# Renders the demo offline and measures what a viewer sees: every frame's grey mean and
# standard deviation (Rec. 709 luma, 0..1), and one picture of the whole run (a strip of
# thumbnails over the two curves, the section turns marked, the dead-frame limits dashed).
#   scripts/look.sh [W H] [FPS] [--start S] [--end E] [--out DIR] [--picture FILE]
# Default: 1920 by 1080, one frame a second, the whole run, into build/look-WxH-FPS/:
#   frames/frame-NNNNNN.png, look.csv (time,mean,std), look.png (its foot names the
#   commit it was drawn from); --picture also writes look.png as FILE (docs/look.png).
# A frame is dead when its mean is below 0.02 or its deviation below 0.04; their times
# are printed at the end.
#   scripts/look.sh --stats DIR    only measures the PNG files already in DIR (to stdout)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Prints "file mean std" for each PNG given, two ImageMagick processes at a time.
measure_frames() {
  printf '%s\0' "$@" | xargs -0 -r -n 16 -P 2 sh -c \
    'convert -quiet "$@" -grayscale Rec709Luma -format "%f %[fx:mean] %[fx:standard_deviation]\n" info:' look |
    sort
}

if [ "${1:-}" = --stats ]; then
  shopt -s nullglob
  measure_frames "${2:?--stats needs a folder}"/*.png
  exit 0
fi

width=1920 height=1080 fps=1 start=0 end="" out="" picture=""
positional=()
while [ $# -gt 0 ]; do
  case $1 in
    --start) start=${2:?--start needs a time}; shift 2 ;;
    --end) end=${2:?--end needs a time}; shift 2 ;;
    --out) out=${2:?--out needs a folder}; shift 2 ;;
    --picture) picture=${2:?--picture needs a file name}; shift 2 ;;
    -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) positional+=("$1"); shift ;;
  esac
done
case ${#positional[@]} in
  0) ;;
  1) fps=${positional[0]} ;;
  2) width=${positional[0]} height=${positional[1]} ;;
  3) width=${positional[0]} height=${positional[1]} fps=${positional[2]} ;;
  *) echo "usage: scripts/look.sh [W H] [FPS] [--start S] [--end E] [--out DIR] [--picture FILE]" >&2; exit 2 ;;
esac
out=${out:-$root/build/look-${width}x${height}-${fps}}
case $out in /*) ;; *) out="$PWD/$out" ;; esac
case $picture in /* | "") ;; *) picture="$PWD/$picture" ;; esac

source "$root/scripts/lib/drawn-from.sh"
commit=$(drawn_from)

source "$root/scripts/lib/offline-run.sh"
prepare_offline_run "$width" "$height"
rm -rf "$out/frames"
mkdir -p "$out/frames"
range=(--start "$start")
[ -n "$end" ] && range+=(--end "$end")
"$root/scripts/with-display.sh" "$build/run/velkarn" --capture "$out/frames" --fps "$fps" "${range[@]}" >/dev/null

cd "$out"
shopt -s nullglob
frames=(frames/frame-*.png)
[ ${#frames[@]} -gt 0 ] || { echo "look: no frames were rendered" >&2; exit 1; }
{
  echo "time,mean,std"
  measure_frames "${frames[@]}" | awk -v start="$start" -v fps="$fps" '{
      n = $1; gsub(/[^0-9]/, "", n)
      printf "%.3f,%.4f,%.4f\n", start + n / fps, $2, $3 }'
} > look.csv

# The picture: thumbnails on top, then the curves, 8 pixels a second at most 1800 wide.
awk -F, 'NR > 1' look.csv > curve.txt
first=$(head -1 curve.txt | cut -d, -f1)
last=$(tail -1 curve.txt | cut -d, -f1)
plot_width=1800 plot_height=320 top=1
span=$(awk -v a="$first" -v b="$last" 'BEGIN { s = b - a; print (s > 0 ? s : 1) }')
xof() { awk -v t="$1" -v a="$first" -v s="$span" -v w="$plot_width" 'BEGIN { printf "%.1f", (t - a) / s * (w - 1) }'; }
yof() { awk -v v="$1" -v h="$plot_height" -v top="$top" 'BEGIN { v = v > top ? top : v; printf "%.1f", (h - 1) * (1 - v / top) }'; }
points() {
  awk -F, -v col="$1" -v a="$first" -v s="$span" -v w="$plot_width" -v h="$plot_height" -v top="$top" '{
      v = $col > top ? top : $col
      printf "%.1f,%.1f ", ($1 - a) / s * (w - 1), (h - 1) * (1 - v / top) }' curve.txt
}
draw=(-stroke '#2a2a2a' -strokewidth 1)
for level in 0.25 0.5 0.75; do
  draw+=(-draw "line 0,$(yof $level) $plot_width,$(yof $level)")
done
draw+=(-stroke '#555555')
# The turns of the music, from the program's own cue table.
for turn in $("$build/run/velkarn" --cues | awk '$3 == "turn" { print $1 }'); do
  if awk -v t="$turn" -v a="$first" -v b="$last" 'BEGIN { exit !(t > a && t < b) }'; then
    x=$(xof "$turn")
    draw+=(-draw "line $x,0 $x,$((plot_height - 1))" -draw "text $(awk -v x="$x" 'BEGIN { print x + 3 }'),14 '$turn'")
  fi
done
draw+=(-stroke '#aa6600' -strokewidth 1 -draw "stroke-dasharray 6 4 line 0,$(yof 0.02) $plot_width,$(yof 0.02)")
draw+=(-stroke '#0088aa' -draw "stroke-dasharray 6 4 line 0,$(yof 0.04) $plot_width,$(yof 0.04)")
draw+=(-fill none -strokewidth 2 -stroke '#ffcc44' -draw "polyline $(points 2)")
draw+=(-stroke '#44ddff' -draw "polyline $(points 3)")
convert -size "${plot_width}x${plot_height}" xc:'#101010' -font DejaVu-Sans -pointsize 12 -fill '#888888' \
  "${draw[@]}" -stroke none -fill '#ffcc44' -draw "text $((plot_width - 420)),34 'grey mean'" \
  -fill '#44ddff' -draw "text $((plot_width - 420)),50 'grey deviation (0 to $top, grid every 0.25; dashed: 0.02 and 0.04)'" plot.png

count=${#frames[@]}
thumbs=$(( count < 24 ? count : 24 ))
thumb_width=$(( plot_width / thumbs ))
thumb_height=$(( thumb_width * height / width ))
row=()
for ((i = 0; i < thumbs; ++i)); do
  row+=("${frames[$(( (2 * i + 1) * count / (2 * thumbs) ))]}")
done
convert "${row[@]}" -resize "${thumb_width}x${thumb_height}!" +append -background '#101010' \
  -gravity West -extent "${plot_width}x${thumb_height}" thumbs.png
convert thumbs.png plot.png -background '#101010' -fill '#888888' -font DejaVu-Sans -pointsize 12 \
  label:"the vel karn at ${width} by ${height}, ${fps} frames a second, commit ${commit}" -gravity East -append \
  -set comment "commit $commit" look.png
rm -f thumbs.png plot.png curve.txt

dead=$(awk -F, 'NR > 1 && ($2 < 0.02 || $3 < 0.04) { printf "%s ", $1 }' look.csv)
echo "look: ${count} frames, $(awk -F, 'NR > 1 && ($2 < 0.02 || $3 < 0.04)' look.csv | wc -l) dead: ${dead}"
echo "wrote $out/look.csv and $out/look.png"
note_drawn_from "$out/look.png" "$commit"
if [ -n "$picture" ]; then
  mkdir -p "$(dirname "$picture")"
  cp look.png "$picture"
  note_drawn_from "$picture" "$commit"
fi
