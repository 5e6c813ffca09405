# The whole demo, captured at 320 by 180 and 2 frames a second, reaches its own end with
# status 0, one frame per half second up to 225 s, no GL or sanitizer error and steady
# memory; its frames at moments across the scenes are not blank and differ where the scene
# changes. A capture repeated gives the same picture, and with the negative switched on by
# its tuning record the complement.
source "$(dirname "$0")/lib/common.sh"
start_demo --capture frames --fps 2 --stats frames.csv
# The peak resident memory once frames 320 and 440 are out: the last scene change (the
# squeezed copy, at frame 285) has taken what it needs, and the leak check at the exit
# (later) its own.
rss_mid=0 rss_late=0
deadline=$((SECONDS + 1500))  # about 2 minutes on a quiet machine
while [ "$SECONDS" -lt "$deadline" ]; do
  kill -0 "$pid" 2>/dev/null || break
  count=$(find frames -name 'frame-*.png' 2>/dev/null | wc -l || true)
  rss=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
  [ "$count" -lt 320 ] || [ "$rss_mid" -gt 0 ] || rss_mid=${rss:-0}
  [ "$count" -lt 440 ] || [ "$rss_late" -gt 0 ] || rss_late=${rss:-0}
  sleep 0.2
done
wait_for_exit 60
[ "$status" -eq 0 ] && [ "$(ls frames | wc -l)" -eq 451 ] || fail "status $status, $(ls frames | wc -l) frames, not 451"
! grep -qE "GL error|ERROR: (Address|Leak)Sanitizer|runtime error" stderr.txt || fail "errors in the run"
grep -q "^frames: 45[12]" stdout.txt || fail "no statistics at the end"
echo "peak resident memory: $rss_mid kB at frame 320, $rss_late kB at frame 440"
[ "$rss_mid" -gt 0 ] && [ $((rss_late - rss_mid)) -lt 50000 ] || fail "memory grew by $((rss_late - rss_mid)) kB"
mean=$(identify -format '%[fx:mean]' frames/frame-000450.png)
awk -v m="$mean" 'BEGIN { exit !(m < 0.2) }' || fail "the last frame has not faded out (mean $mean)"
# intro, twist, tilt, wobble, slide, blob section (plain, with strings), wall, squeezed
# copy, credits, end logo
previous=""
for t in 2 12 26 35 50 70 95 112 131 150 170 210; do
  frame=$(printf 'frames/frame-%06d.png' $((2 * t)))
  deviation=$(identify -format '%[fx:standard_deviation]' "$frame")
  awk -v d="$deviation" 'BEGIN { exit !(d > 0.004) }' || fail "the frame at $t s is blank (deviation $deviation)"
  differing=$(compare -metric AE "${previous:-$frame}" "$frame" null: 2>&1 || true)
  [ -z "$previous" ] || [ "${differing%%.*}" -gt 500 ] || fail "the frame at $t s hardly differs from the one before"
  previous=$frame
done

# The first capture builds the particle-map cache again, the second reads it: the same picture.
capture() { "$velkarn" --capture "$1" --fps 1 --start 40 --end 40 2>>stderr.txt || fail "capture $1 failed"; }
printf 'negative switch\n0 0\n' > dat/p-negative.dat
rm dat/p-particlemap.dat
capture plain
capture again
cmp -s plain/frame-000000.png again/frame-000000.png || fail "a capture at 40 s with the cache differs from the one without"
printf 'negative switch\n0 1\n' > dat/p-negative.dat
capture inverted
convert inverted/frame-000000.png -negate negated.png
differing=$(compare -metric AE -fuzz 2% plain/frame-000000.png negated.png null: 2>&1 || true)
[ "${differing%%.*}" -lt 200 ] || fail "the inverted frame is not the complement ($differing pixels differ)"
