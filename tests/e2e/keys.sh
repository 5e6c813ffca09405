# Real key presses reach the running demo: F1 takes in an edited tuning file, a digit
# seeks, 'p' pauses and Escape ends the run with status 0.
source "$(dirname "$0")/lib/common.sh"
printf 'negative switch\n0 0\n' > dat/p-negative.dat
press() { xdotool windowfocus --sync "$id" 2>/dev/null || true; xdotool key --clearmodifiers "$1"; sleep "$2"; }
# Waits up to $2 seconds for the window's mean brightness ($mean) to pass the awk test $1.
brightness_becomes() {
  for _ in $(seq $(($2 * 4))); do
    mean=$(import -window "$id" -colorspace gray -format '%[fx:mean]' info: 2>/dev/null || echo 0.5)
    awk -v m="$mean" "BEGIN { exit !(m $1) }" && return 0
    sleep 0.25
  done
  fail "the window's mean brightness $mean does not pass $1"
}
start_demo --silent --stats frames.csv --start 30
id=$(wait_for_window 240) || fail "no window"
# The negative inverts the picture once F1 has read it (after the intro, whose images are
# drawn over the negative).
brightness_becomes "< 0.3" 120
printf 'negative switch\n0 1\n' > dat/p-negative.dat
press F1 0
brightness_becomes "> 0.6" 60
# 5 seeks to 5/11 of the track (227 s long); 'p' pauses there. The frames' times are in
# the statistics file, written at the end.
press 5 1
press p 3
press Escape 0
wait_for_exit 180
[ "$status" -eq 0 ] && grep -q "^5" stdout.txt || fail "Escape gave status $status, or the digit was not printed"
[ "$(tail -n 3 frames.csv | cut -d, -f2 | sort -u | wc -l)" -eq 1 ] || fail "the time moved while paused"
time=$(tail -n 1 frames.csv | cut -d, -f2)
awk -v t="$time" 'BEGIN { exit !(t > 103.0 && t < 106.0) }' || fail "after '5' the time is $time"
