#!/usr/bin/env bash
# Renders the demo offline into a video with its music, in segments that survive a stop.
#   scripts/make-video.sh [OUT.mp4] [WIDTH HEIGHT] [FPS] [PRESET] [--from S] [--to E] [--jobs N] [--list]
# PRESET may stand anywhere among the other words (scripts/make-video.sh web).
# VELKARN_BUILD_DIR chooses another build directory (default build/).
# Default: velkarn.mp4 at 1920 by 1080, 60 frames per second, the quality preset (the
# others: archive, web, compo; see --video-preset in --help), the whole demo (--from 0
# --to 225), one segment at a time. Builds the demo first (Release, in build/).
#
# The range is cut into segments of at most 10 s, each rendered by its own velkarn --video
# --start --end process (exact from any start) and kept in OUT.mp4.parts/, written under
# a hidden name and renamed when complete. Run the same command again after a stop (Ctrl+C,
# a reboot, a full disk) and only the missing segments are rendered. --jobs N renders N
# segments at once. The segments are then joined without re-encoding the picture, and the
# music is cut to the range and muxed once over the whole. The rendering takes far longer
# than the demo runs when the GL driver is a software one; the progress line counts the
# frames of the whole range and shows the time left.
# --list renders nothing and prints the missing segments instead, "FILE START END" a line
# (FILE relative to the current folder), for rendering them elsewhere (see the README).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: scripts/make-video.sh [OUT.mp4] [WIDTH HEIGHT] [FPS] [PRESET] [--from S] [--to E] [--jobs N] [--list]"
list=""
arguments=("$@")
preset=quality
from=0
to=225
jobs=1
words=()
while [ $# -gt 0 ]; do
  case $1 in
    quality | archive | web | compo) preset=$1; shift ;;
    --from) from=${2:?--from needs a time}; shift 2 ;;
    --to) to=${2:?--to needs a time}; shift 2 ;;
    --jobs) jobs=${2:?--jobs needs a count}; shift 2 ;;
    --list) list=yes; shift ;;
    -h | --help) sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    --*) echo "$usage" >&2; exit 2 ;;
    *) words+=("$1"); shift ;;
  esac
done
set -- ${words[@]+"${words[@]}"}
[ $# -le 4 ] || { echo "$usage" >&2; exit 2; }
out=${1:-velkarn.mp4}
width=${2:-1920}
height=${3:-1080}
fps=${4:-60}
case $out in /*) ;; *) out="$PWD/$out" ;; esac
case $out in *.mp4) ;; *) echo "make-video: the output must be an .mp4 file" >&2; exit 2 ;; esac
number='^[0-9]+([.][0-9]+)?$'
[[ $from =~ $number && $to =~ $number ]] || { echo "make-video: --from and --to take seconds" >&2; exit 2; }
[[ $jobs =~ ^[1-9][0-9]*$ && $fps =~ ^[1-9][0-9]*$ ]] || { echo "make-video: --jobs and FPS take whole numbers" >&2; exit 2; }
awk -v a="$from" -v b="$to" 'BEGIN { exit !(a <= b && b <= 225) }' ||
  { echo "make-video: the range must run forwards and end by 225 s" >&2; exit 2; }

# Frame i of the range is at from + i / fps, up to to. A segment holds frames
# [first, first + count); its process is given the time of its first frame and an end half
# a frame after its last, so the program's own comparison keeps exactly those frames.
total=$(awk -v a="$from" -v b="$to" -v f="$fps" 'BEGIN { printf "%d", (b - a) * f + 1e-6 + 1 }')
per_segment=$((10 * fps))
segments=$(((total + per_segment - 1) / per_segment))
starts=() ends=() counts=()
while read -r start end count; do
  starts+=("$start") ends+=("$end") counts+=("$count")
done < <(awk -v a="$from" -v b="$to" -v f="$fps" -v n="$per_segment" -v t="$total" -v s="$segments" 'BEGIN {
    for (k = 0; k < s; ++k) {
      first = k * n; count = (t - first < n) ? t - first : n
      start = a + first / f; end = start + (count - 0.5) / f
      if (end > b) end = b
      printf "%.9f %.9f %d\n", start, end, count } }')

parts="$out.parts"
mkdir -p "$parts"
# The segments belong to one render: another size, rate, preset or range would not join.
settings="$width $height $fps $preset $from $to"
if [ -f "$parts/settings.txt" ] && [ "$(cat "$parts/settings.txt")" != "$settings" ]; then
  echo "make-video: $parts holds the segments of another render ($(cat "$parts/settings.txt")); remove it first" >&2
  exit 1
fi
echo "$settings" >"$parts/settings.txt"
segment_file() { printf '%s/segment-%04d.mp4' "$parts" "$1"; }
if [ -n "$list" ]; then
  for ((k = 0; k < segments; ++k)); do
    file=$(segment_file "$k")
    [ -f "$file" ] || echo "${file#"$PWD"/} ${starts[k]} ${ends[k]}"
  done
  exit 0
fi
# One X display for every segment: a stop then reaches each renderer itself.
[ -n "${DISPLAY:-}" ] || exec "$root/scripts/with-display.sh" "$0" "${arguments[@]}"

source "$root/scripts/lib/offline-run.sh"
prepare_offline_run "$width" "$height"
# The segments carry no sound; the music goes over the joined picture once.
rm -f Orvalin-Velkarn.mp3
music="$build/run/Orvalin-Velkarn.mp3"

running=()
stop_all() {
  for pid in ${running[@]+"${running[@]}"}; do kill -TERM "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap 'stop_all; rm -rf "$work"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Frames of the finished segments, plus what each running one has sent so far.
progress() {
  local done=0 k
  for ((k = 0; k < segments; ++k)); do
    if [ -f "$(segment_file "$k")" ]; then
      done=$((done + counts[k]))
    elif [ -f "log-$k.txt" ]; then
      done=$((done + $(tr '\r' '\n' <"log-$k.txt" | sed -n 's/^video: frame \([0-9]*\)\/.*/\1/p' | tail -n 1 | grep . || echo 0)))
    fi
  done
  echo "$done"
}
started=$(date +%s)
first_done=$(progress)
show_progress() {
  local done now rate left=""
  done=$(progress)
  now=$(date +%s)
  if [ "$done" -gt "$first_done" ] && [ "$now" -gt "$started" ]; then
    left=$(awk -v d="$((done - first_done))" -v s="$((now - started))" -v r="$((total - done))" \
      'BEGIN { l = r * s / d; printf "  %d:%02d left", l / 60, l % 60 }')
  fi
  printf '\rvideo: frame %d/%d  segments %d/%d%s   ' "$done" "$total" \
    "$(find "$parts" -maxdepth 1 -name 'segment-*.mp4' | wc -l)" "$segments" "$left" >&2
}

# Waits until a segment's process ends, showing the progress every second, and collects
# every one that has; a failed one sets $failed.
failed=""
wait_for_a_segment() {
  local pid alive still
  while :; do
    alive=" $(jobs -rp | tr '\n' ' ') "
    still=()
    for pid in "${running[@]}"; do
      if [[ $alive == *" $pid "* ]]; then
        still+=("$pid")
      elif ! wait "$pid"; then
        failed=yes
      fi
    done
    show_progress
    if [ ${#still[@]} -lt ${#running[@]} ]; then
      running=(${still[@]+"${still[@]}"})
      return
    fi
    sleep 1
  done
}

for ((k = 0; k < segments; ++k)); do
  [ -f "$(segment_file "$k")" ] && continue
  while [ ${#running[@]} -ge "$jobs" ]; do wait_for_a_segment; done
  [ -z "$failed" ] || break
  start=${starts[k]} end=${ends[k]}
  "$build/run/velkarn" --video "$(segment_file "$k")" --fps "$fps" \
    --video-preset "$preset" --start "$start" --end "$end" --no-dialogs 2>"log-$k.txt" >/dev/null &
  running+=($!)
  show_progress
done
while [ ${#running[@]} -gt 0 ]; do wait_for_a_segment; done
echo >&2
for ((k = 0; k < segments; ++k)); do
  if [ ! -f "$(segment_file "$k")" ]; then
    echo "make-video: segment $k (${starts[k]} s on) failed:" >&2
    [ -f "log-$k.txt" ] && tr '\r' '\n' <"log-$k.txt" | grep -v '^video: frame' | tail -n 5 >&2
    echo "make-video: the finished segments are kept in $parts; run the same command again" >&2
    exit 1
  fi
done

# Joined without re-encoding; the music cut to the range, as --video cuts it.
duration=$(awk -v n="$total" -v f="$fps" 'BEGIN { printf "%.6f", n / f }')
for ((k = 0; k < segments; ++k)); do printf "file '%s'\n" "$(segment_file "$k")"; done >segments.txt
case $preset in quality) rate=256k ;; compo) rate=192k ;; *) rate=320k ;; esac
sound=()
if [ -f "$music" ]; then
  sound=(-ss "$(printf '%.6f' "$from")" -t "$duration" -i "$music" -map 0:v:0 -map 1:a:0 -c:a aac -b:a "$rate")
else
  echo "make-video: warning: $music is missing; the video will have no sound" >&2
  sound=(-map 0:v:0)
fi
partial="$(dirname "$out")/.$(basename "$out").partial-$$"
ffmpeg -hide_banner -loglevel error -nostats -y -f concat -safe 0 -i segments.txt "${sound[@]}" -c:v copy \
  -t "$duration" -movflags +faststart -f mp4 "$partial" || { rm -f "$partial"; echo "make-video: joining failed" >&2; exit 1; }
mv "$partial" "$out"
echo "wrote $out ($total frames from $segments segments; the segments stay in $parts until you remove them)"
