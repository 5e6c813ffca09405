# --watch under a running demo: a tuning file and a shader edited in the repository's
# dat/ are taken in again and show on the window; a broken shader prints its log and the
# old program stays; a layer list naming a missing image is refused and the demo goes on.
source "$(dirname "$0")/lib/common.sh"

# The build links each hand-written file of the run folder to the repository's file, and
# the generated ones are real files there.
for file in "$source_dir"/dat/*; do
  [ "$run_dir/dat/${file##*/}" -ef "$file" ] || fail "the run folder's ${file##*/} is not the repository's file"
done
[ ! -L "$run_dir/dat/black.jpg" ] && [ -f "$run_dir/dat/black.jpg" ] || fail "a generated file is not a real file"
# The same layout here, with repo/dat/ standing in for the repository's dat/: every edit
# below goes there, and the demo reads it through the links.
mkdir -p repo/dat
for file in "$source_dir"/dat/*; do
  mv "dat/${file##*/}" repo/dat/
  ln -s "$work/repo/dat/${file##*/}" "dat/${file##*/}"
done
edit=repo/dat

echo "320 180 window" > QRV-Velkarn-config.dat
printf 'negative switch\n0 0\n' > $edit/p-negative.dat
printf 'layers\n' > $edit/p-blend.dat

start_demo --silent --no-dialogs --watch --start 40
window=$(wait_for_window 240) || fail "no window"
# Mean brightness of the red and green channels of the window, in 0..1.
channels() { import -window "$window" shot.png && identify -format '%[fx:mean.r] %[fx:mean.g]\n' shot.png; }
wait_for_line() {
  for _ in $(seq 100); do grep -q "$1" "$2" && return 0; sleep 0.1; done
  fail "no \"$1\" in $2"
}
sleep 1
read -r red green < <(channels)
awk -v g="$green" 'BEGIN { exit !(g < 0.35) }' || fail "plain picture is bright already (green $green)"

# The negative turned on by its tuning file.
printf 'negative switch\n0 1\n' > $edit/p-negative.dat
wait_for_line "reloaded the tuning files" stdout.txt
sleep 0.5
read -r red_neg green_neg < <(channels)
awk -v a="$green" -v b="$green_neg" 'BEGIN { exit !(b > a + 0.3) }' ||
  fail "the negative did not show (green $green, then $green_neg)"

# A replace layer over the whole run, and its shader changed to paint pure red.
printf 'negative switch\n0 0\n' > $edit/p-negative.dat
printf 'layers\n0 1000 dat/black.jpg replace\n' > $edit/p-blend.dat
wait_for_line "reloaded dat/p-blend.dat (1 layers)" stdout.txt
sed -i 's/gl_FragColor = .*/gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0);/' $edit/replace_fragment.glsl
wait_for_line "rebuilt the replace program" stdout.txt
sleep 0.5
read -r red green < <(channels)
awk -v r="$red" -v g="$green" 'BEGIN { exit !(r > 0.95 && g < 0.05) }' || fail "the new shader did not show (red $red, green $green)"

# A broken shader: its log is printed, the red program stays, the demo goes on.
echo 'this is not GLSL(' >> $edit/replace_fragment.glsl
wait_for_line "does not compile" stderr.txt
wait_for_line "replace program stays as it was" stderr.txt
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "the demo ended after a broken shader"
read -r red green < <(channels)
awk -v r="$red" -v g="$green" 'BEGIN { exit !(r > 0.95 && g < 0.05) }' || fail "the old program was not kept (red $red, green $green)"

# A layer list naming a missing image is refused; the old layers stay.
# The misspelt effect is named as the list is read.
printf 'layers\n0 1000 dat/no-such-image.jpg sparkle\n' > $edit/p-blend.dat
wait_for_line 'dat/p-blend.dat: record 1 (line 2): the effect "sparkle"' stderr.txt
wait_for_line "no-such-image.jpg" stderr.txt
wait_for_line "the old layers stay" stderr.txt
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "the demo ended after a missing layer image"
read -r red green < <(channels)
awk -v r="$red" 'BEGIN { exit !(r > 0.95) }' || fail "the old layer list was not kept (red $red)"

stop_demo
