# --watch under a running demo: a tuning file and a shader edited in the repository's dat/
# are taken in again and show on the window; a broken shader prints its log and the old
# program stays, as the old layers do when a layer list names a missing image.
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
start_demo --silent --no-dialogs --watch --start 40
window=$(wait_for_window 240) || fail "no window"
# shows TEST: waits up to a minute for the window's mean red r and green g (0..1) to pass
# the awk test; said TEXT FILE: for TEXT to appear in FILE.
shows() {
  local r=0 g=0
  for _ in $(seq 120); do
    import -window "$window" shot.png && read -r r g < <(identify -format '%[fx:mean.r] %[fx:mean.g]\n' shot.png)
    awk -v r="$r" -v g="$g" "BEGIN { exit !($1) }" && return 0
    sleep 0.5
  done
  fail "the window's red $r and green $g do not pass $1"
}
said() {
  for _ in $(seq 600); do grep -q "$1" "$2" && return 0; sleep 0.1; done
  fail "no \"$1\" in $2"
}
shows "g < 0.35"
printf 'negative switch\n0 1\n' > repo/dat/p-negative.dat
said "reloaded the tuning files" stdout.txt
shows "g > 0.65"
# A replace layer over the whole run, its shader changed to paint pure red, then broken.
printf 'negative switch\n0 0\n' > repo/dat/p-negative.dat
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
sleep 1
shows "r > 0.95 && g < 0.05"
