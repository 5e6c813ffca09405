# The whole demo, captured at 320 by 180 and 2 frames per second, reaches its own end
# with status 0, one frame per half second up to 225 s, and no GL or sanitizer error.
source "$(dirname "$0")/lib/common.sh"
echo "320 180 window" > QRV-Velkarn-config.dat
start_demo --capture frames --fps 2 --stats frames.csv
peak_rss() { awk '/VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0; }
rss_mid=0
for _ in $(seq 3000); do
  kill -0 "$pid" 2>/dev/null || break
  count=$( (find frames -name 'frame-*.png' 2>/dev/null || true) | wc -l)
  [ "$count" -ge 200 ] && [ "$rss_mid" -eq 0 ] && rss_mid=$(peak_rss)
  [ "$count" -ge 440 ] && rss_late=$(peak_rss)
  sleep 0.2
done
wait_for_exit 30
[ "$status" -eq 0 ] || fail "exit status $status"
frames=$(find frames -name 'frame-*.png' | wc -l)
[ "$frames" -eq 451 ] || fail "$frames frames instead of 451"
! grep -q -E "GL error|ERROR: (Address|Leak)Sanitizer|runtime error" stderr.txt || fail "errors: $(grep -E 'GL error|Sanitizer|runtime error' stderr.txt | head -3)"
grep -q "^frames: 45[12]" stdout.txt || fail "no statistics at the end"
echo "peak resident memory: ${rss_mid:-?} kB at frame 200, ${rss_late:-?} kB at frame 440"
if [ "${rss_mid:-0}" -gt 0 ] && [ "${rss_late:-0}" -gt 0 ]; then
  [ $((rss_late - rss_mid)) -lt 300000 ] || fail "memory grew by $((rss_late - rss_mid)) kB over the second half"
fi
# The last frame is the end of the demo: the picture has faded out.
mean=$(identify -format '%[fx:mean]' frames/frame-000450.png)
awk -v m="$mean" 'BEGIN { exit !(m < 0.2) }' || fail "the last frame is not dark (mean $mean)"
