#!/usr/bin/env bash
# Measures the music track, there being no speaker to hear it on: its loudness (EBU R128),
# octave balance, each voice's loudness and share, how the sound changes at each turn of the
# picture, how clearly the beat speaks, and a spectrogram with the turns marked.
#   scripts/listen.sh [--out DIR]   (default build/listen/)
# Writes DIR/track.wav (the MP3 decoded), DIR/voices/NAME.wav (each voice alone, through the
# same buses, duck, limiter and fade as the mix) and DIR/spectrogram.png; prints the figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

out=""
while [ $# -gt 0 ]; do
  case $1 in
    --out) out=${2:?--out needs a folder}; shift 2 ;;
    -h|--help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "usage: scripts/listen.sh [--out DIR]" >&2; exit 2 ;;
  esac
done
out=${out:-$root/build/listen}
case $out in /*) ;; *) out="$PWD/$out" ;; esac

source "$root/scripts/lib/release-build.sh"
build_release_targets offline velkarn velkarn_run_dir velkarn_assets velkarn_listen

# The body of the piece, after the intro and before the fade, and the music's turns in it,
# from the program's own cue table.
cues=$("$build/run/velkarn" --cues)
cue() { awk -v name="$1" '$2 == name { print $1 }' <<<"$cues"; }
from=$(cue intro-end) to=$(cue end-logo-in)
mapfile -t turns < <(awk -v to="$to" '$3 == "turn" && $1 <= to { print $1 }' <<<"$cues")
track=$build/run/Orvalin-Velkarn.mp3
listen=$build/velkarn_listen
mkdir -p "$out"
ffmpeg -nostdin -hide_banner -loglevel error -y -i "$track" -c:a pcm_s16le "$out/track.wav"
rm -rf "$out/voices"
"$build/velkarn_assets" "$out" voices

# EBU R128 of a file: "I LRA PEAK" (LUFS, LU, dBTP; the peak only with "true" as $2).
loudness() {
  local result
  result=$(ffmpeg -nostdin -hide_banner -nostats -i "$1" -af "ebur128=peak=${2:-none}:framelog=verbose" -f null - 2>&1 |
    awk '/Summary:/ { s = 1 } s && $1 == "I:" { i = $2 } s && $1 == "LRA:" { l = $2 } s && $1 == "Peak:" { p = $2 }
         END { if (i != "") print i, l, (p == "" ? "-" : p) }')
  [ -n "$result" ] || { echo "listen: ffmpeg gave no loudness for $1" >&2; exit 1; }
  echo "$result"
}

read -r lufs lra peak < <(loudness "$track" true)
echo "track: integrated loudness $lufs LUFS, loudness range $lra LU, true peak $peak dBTP"
echo
"$listen" bands "$out/track.wav" "$from" "$to"
echo

# Each voice alone over the whole track (R128 gating leaves out the stretches it is silent).
names=(kick snare hat bass pluck pad lead impact riser)
wavs=()
for name in "${names[@]}"; do wavs+=("$out/voices/$name.wav"); done
echo "voices, each alone through the master path (whole track):"
{
  for name in "${names[@]}"; do
    read -r voice_lufs _ _ < <(loudness "$out/voices/$name.wav")
    echo "lufs $name $voice_lufs"
  done
  "$listen" energy "${wavs[@]}" | awk 'NR > 1 { print "energy", $1, $2, $3 }'
} | awk '$1 == "lufs" { lufs[$2] = $3; order[++n] = $2 } $1 == "energy" { rms[$2] = $3; share[$2] = $4 }
         END { printf "  %-8s  %8s  %9s  %s\n", "voice", "LUFS", "RMS dBFS", "share of the summed energy"
               for (i = 1; i <= n; ++i) printf "  %-8s  %8s  %9s  %s\n", order[i], lufs[order[i]], rms[order[i]], share[order[i]] }'
echo

"$listen" turns "$out/track.wav" "${turns[@]}"
echo
# The onset envelope is log-compressed spectral flux at 100 frames a second less its mean
# over 0.1 s either side (tools/listen_onset.h); an earlier measurement of the same track by
# another recipe gave 0.83 at the beat, so compare this figure only with itself.
"$listen" beat "$out/track.wav" "$from" "$to"

# The spectrogram, with a frequency scale on the left, the turns above, seconds below.
width=1800 height=560 left=58 top=22 bottom=42 right=12
"$listen" spectrogram "$out/track.wav" "$out/spectrogram-plain.png" "$width" "$height"
seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$out/track.wav")
xof() { awk -v t="$1" -v d="$seconds" -v w="$width" -v l="$left" 'BEGIN { printf "%.1f", l + t / d * w }'; }
yof() { awk -v f="$1" -v h="$height" -v top="$top" 'BEGIN { printf "%.1f", top + h * (1 - log(f / 20) / log(1000)) }'; }
draw=(-stroke '#ffffff40' -strokewidth 1)
for f in 50 100 200 500 1000 2000 5000 10000; do
  draw+=(-draw "stroke-dasharray 2 6 line $left,$(yof $f) $((left + width - 1)),$(yof $f)")
done
draw+=(-stroke '#888888')
for f in 20 50 100 200 500 1000 2000 5000 10000 20000; do
  label=$(awk -v f="$f" 'BEGIN { print (f >= 1000 ? f / 1000 " kHz" : f " Hz") }')
  y=$(yof "$f")
  draw+=(-draw "line $((left - 5)),$y $((left - 1)),$y")
  draw+=(-stroke none -draw "text 4,$(awk -v y="$y" 'BEGIN { printf "%.0f", y + 4 }') '$label'" -stroke '#888888')
done
for ((t = 0; t <= ${seconds%.*}; t += 10)); do
  x=$(xof "$t") bottom_edge=$((top + height))
  draw+=(-draw "line $x,$bottom_edge $x,$((bottom_edge + (t % 50 == 0 ? 7 : 4)))")
  if ((t % 50 == 0)); then
    draw+=(-stroke none -draw "text $(awk -v x="$x" 'BEGIN { print x - 6 }'),$((bottom_edge + 19)) '$t s'" -stroke '#888888')
  fi
done
draw+=(-stroke '#ffffffb0')
for turn in "${turns[@]}"; do
  x=$(xof "$turn")
  draw+=(-draw "line $x,$((top - 4)) $x,$((top + height - 1))")
  draw+=(-stroke none -fill '#dddddd' -draw "text $(awk -v x="$x" 'BEGIN { print x + 3 }'),14 '$turn'" -fill '#888888' -stroke '#ffffffb0')
done
convert -size "$((left + width + right))x$((top + height + bottom))" xc:'#101010' \
  "$out/spectrogram-plain.png" -geometry "+$left+$top" -composite \
  -font DejaVu-Sans -pointsize 12 -fill '#888888' "${draw[@]}" \
  -stroke none -fill '#888888' -draw "text $left,$((top + height + 37)) 'level: black 80 dB below the loudest point, then blue, magenta, orange, pale yellow; white lines: the turns of the picture'" \
  -colors 256 PNG8:"$out/spectrogram.png"
rm -f "$out/spectrogram-plain.png"
echo
echo "wrote $out/spectrogram.png, $out/track.wav and $out/voices/"
