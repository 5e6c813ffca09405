# Real key presses reach the running demo: a digit seeks, 'p' pauses, a camera key
# writes the camera dump, F1 picks up an edited tuning file, Escape and 'q' end the run.
source "$(dirname "$0")/lib/common.sh"
echo "320 180 window" > QRV-Velkarn-config.dat
printf 'negative switch\n0 0\n' > dat/p-negative.dat

press() {
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  xdotool key --clearmodifiers "$@"
}
last_time() { tail -n 1 frames.csv | cut -d, -f2; }
# Frames in the CSV file appear only at the end, so the time is read from the run's
# standard output: the digit key prints the digit, the stats print at the end.

start_demo --silent --stats frames.csv --start 30
id=$(wait_for_window 240) || fail "no window"
sleep 2

# A camera key rewrites the dump with the moved camera.
press a
for _ in $(seq 600); do [ -s glulookat.dat ] && break; sleep 0.1; done
[ -s glulookat.dat ] || fail "no glulookat.dat after 'a'"
grep -qx "eyex=0.595;" glulookat.dat || fail "unexpected camera dump: $(tr '\n' ' ' < glulookat.dat)"
grep -qx -- "--------------" glulookat.dat || fail "dump lacks its first line"

# F1 reloads the tuning files: the picture inverts once the negative is switched on
# (after the intro, whose images are drawn over the negative).
brightness() { import -window "$id" -colorspace gray -format '%[fx:mean]' info: 2>/dev/null || echo 0.5; }
# Waits up to $2 seconds for the window's mean brightness to pass the awk test $1.
wait_for_brightness() {
  local test=$1 seconds=$2 mean
  for _ in $(seq $((seconds * 4))); do
    mean=$(brightness)
    awk -v m="$mean" "BEGIN { exit !(m $test) }" && return 0
    sleep 0.25
  done
  echo "$mean"
  return 1
}
mean=$(wait_for_brightness "< 0.3" 120) || fail "the picture never showed dark before F1 (mean $mean)"
printf 'negative switch\n0 1\n' > dat/p-negative.dat
press F1
mean=$(wait_for_brightness "> 0.6" 60) || fail "F1 did not invert the picture (mean $mean)"

# A digit seeks: 5 goes to 5/11 of the track; 'p' pauses there.
press 5
sleep 1
press p
sleep 1.5
press Escape
wait_for_exit 180
[ "$status" -eq 0 ] || fail "Escape gave status $status"
grep -q "^5" stdout.txt || fail "the digit was not printed"
# The last frames: paused, all at one time near 5/11 of the track (227 s long).
tail -n 5 frames.csv | cut -d, -f2 | sort -u > paused-times.txt
[ "$(wc -l < paused-times.txt)" -eq 1 ] || fail "time moved while paused: $(tr '\n' ' ' < paused-times.txt)"
awk -v t="$(last_time)" 'BEGIN { exit !(t > 103.0 && t < 106.0) }' || fail "after '5' the time is $(last_time)"

# 'q' ends the run with status 0 too.
start_demo --silent
id=$(wait_for_window 240) || fail "no window for the second run"
sleep 1
press q
wait_for_exit 180
[ "$status" -eq 0 ] || fail "'q' gave status $status"
