# The running demo, with --watch. F1 takes in an edited tuning file; so does --watch, and it
# rebuilds an edited shader, keeps the old program when the new one does not compile, and
# keeps the old layers when a layer list names a missing image. 'p' pauses and resumes, a
# digit seeks, and Escape ends the run with status 0. The statistics file gets a row per
# frame as the frames come, so the test waits for frames, never for a fixed time.
source "$(dirname "$0")/lib/common.sh"
# The build links each hand-written file of the run folder to the repository's file (the
# generated ones are real files). Here repo/dat/ stands in for the repository's dat/.
mkdir -p repo/dat
for file in "$source_dir"/dat/*; do
  [ "$run_dir/dat/${file##*/}" -ef "$file" ] || fail "the run folder's ${file##*/} is not the repository's file"
  mv "dat/${file##*/}" repo/dat/ && ln -s "$work/repo/dat/${file##*/}" "dat/${file##*/}"
done
[ ! -L "$run_dir/dat/black.jpg" ] && [ -f "$run_dir/dat/black.jpg" ] || fail "a generated file is not a real file"
printf 'negative switch\n0 0\n' > repo/dat/p-negative.dat
printf 'layers\n' > repo/dat/p-blend.dat
start_demo --silent --no-dialogs --watch --stats frames.csv --start 40
id=$(wait_for_window 240) || fail "no window"
press() { xdotool windowfocus --sync "$id" 2>/dev/null || true; xdotool key --clearmodifiers "$1"; }
# more_frames N: waits up to a minute for N frames after this moment.
more_frames() { wait_for_rows $(($(stats_rows frames.csv) + $1)) frames.csv; }
# still: waits up to a minute for the last three frames to share one time (paused).
still() {
  for _ in $(seq 600); do
    [ "$(stats_rows frames.csv)" -ge 3 ] && [ "$(tail -n 3 frames.csv | cut -d, -f2 | sort -u | wc -l)" -eq 1 ] &&
      return 0
    sleep 0.1
  done
  fail "the time did not stand still within a minute"
}
# shows TEST: waits up to a minute for the window's mean red r and green g (0..1) to pass
# the awk test; said TEXT FILE: for TEXT to appear in FILE.
shows() {
  local r=0 g=0
  for _ in $(seq 120); do
    import -window "$id" shot.png && read -r r g < <(identify -format '%[fx:mean.r] %[fx:mean.g]\n' shot.png)
    awk -v r="$r" -v g="$g" "BEGIN { exit !($1) }" && return 0
    sleep 0.5
  done
  fail "the window's red $r and green $g do not pass $1"
}
said() {
  for _ in $(seq 600); do grep -q "$1" "$2" && return 0; sleep 0.1; done
  fail "no \"$1\" in $2"
}
# Paused, the picture stands still, so a change in it comes from the files. (A pause
# before the first frame would hold the clock's start, 0 s.)
more_frames 2
press p
still
shows "g < 0.35"
# The negative switched on behind --watch's back (same size and time) shows after F1;
# switched off again, after --watch takes it in.
printf 'negative switch\n0 1\n' > negative.dat
touch -r repo/dat/p-negative.dat negative.dat
mv negative.dat repo/dat/p-negative.dat
press F1
shows "g > 0.65"
printf 'negative switch\n0 0\n' > repo/dat/p-negative.dat
said "reloaded the tuning files" stdout.txt
shows "g < 0.35"

# A replace layer over the whole run, its shader changed to paint pure red, then broken.
printf 'layers\n0 1000 dat/black.jpg replace\n' > repo/dat/p-blend.dat
said "reloaded dat/p-blend.dat (1 layers)" stdout.txt
sed -i 's/gl_FragColor = .*/gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0);/' repo/dat/replace_fragment.glsl
said "rebuilt the replace program" stdout.txt
shows "r > 0.95 && g < 0.05"
echo 'this is not GLSL(' >> repo/dat/replace_fragment.glsl
said "does not compile" stderr.txt
said "replace program stays as it was" stderr.txt
# The misspelt effect is named as the list is read; the missing image refuses the list.
printf 'layers\n0 1000 dat/no-such-image.jpg sparkle\n' > repo/dat/p-blend.dat
said 'dat/p-blend.dat: record 1 (line 2): the effect "sparkle"' stderr.txt
said "no-such-image.jpg.*the old layers stay" stderr.txt
more_frames 2
shows "r > 0.95 && g < 0.05"

# Running again, 5 seeks to 5/11 of the track (227 s long, so 103.2 s) and prints the
# digit; 'p' pauses after a frame at the new time (a pause holds the time of the frame
# before it).
press p
press 5
said "^5" stdout.txt
more_frames 1
press p
still
press Escape
wait_for_exit 180
[ "$status" -eq 0 ] || fail "Escape gave status $status"
time=$(tail -n 1 frames.csv | cut -d, -f2)
awk -v t="$time" 'BEGIN { exit !(t > 103.0 && t < 110.0) }' || fail "after '5' the time is $time"
