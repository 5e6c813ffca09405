# The command line as a newcomer meets it: each case gives its status and one clear line,
# before any window opens and before any time is spent rendering.
source "$(dirname "$0")/lib/common.sh"
echo "64 36 window" > QRV-Velkarn-config.dat
mkdir -p old && touch old/frame-000000.png
# expect STATUS PATTERN ARGUMENT...: the status, and PATTERN on standard output or error.
expect() {
  local want=$1 pattern=$2 status=0
  shift 2
  "$velkarn" "$@" >stdout.txt 2>stderr.txt || status=$?
  [ "$status" -eq "$want" ] || fail "$* gave status $status, not $want"
  cat stdout.txt stderr.txt | grep -qF -- "$pattern" || fail "$*: no \"$pattern\" in: $(cat stderr.txt)"
}
expect 0 "--capture D" -h
expect 2 "unknown option --frobnicate" --frobnicate
# From a folder without data the usage and the option errors are the same: nothing is read
# before the options.
mkdir -p empty
(cd empty && expect 0 "--capture D" -h && expect 2 "unknown option --frobnicate" --frobnicate)
# The scripts read the cue table as "SECONDS NAME turn|- WHAT" lines; '#' starts a comment.
(cd empty && expect 0 "91.05 blob-scene-start turn the soft bodies take the stage" --cues)
odd=$(grep -v '^#' empty/stdout.txt | awk 'NF < 4 || $1 !~ /^[0-9]+([.][0-9]+)?$/ || ($3 != "turn" && $3 != "-")')
[ -z "$odd" ] || fail "--cues: lines the scripts cannot read: $odd"
# From the repository root, whose dat/ holds only the hand-written files, the program reads
# the data beside itself, and writes its particle-map cache there too, not into the repository.
ls -a "$source_dir/dat" > repository-before.txt
(cd "$source_dir" && "$velkarn" 320 180 --capture "$OLDPWD/fromroot" --fps 1 --start 30 --end 30) \
  >stdout.txt 2>stderr.txt || fail "a run from the repository root failed"
[ -s fromroot/frame-000000.png ] || fail "a run from the repository root captured no frame"
ls -a "$source_dir/dat" | cmp -s - repository-before.txt || fail "a run from the repository root wrote into its dat/"
expect 1 "--start 300 is past the end of the demo" --start 300 --capture late
[ ! -e late ] || fail "a refused run left a folder behind"
expect 1 "cannot write the statistics file: the folder /nonexistent" --stats /nonexistent/s.txt
expect 1 "give a name ending in .mp4" --video x.avi
expect 1 "holds 1 frame-*.png files of an earlier capture" --capture old
status=0
env -u DISPLAY "$velkarn" --silent 2>stderr.txt || status=$?
[ "$status" -eq 1 ] && grep -q "DISPLAY is not set).*scripts/with-display.sh" stderr.txt || fail "no X display: $(cat stderr.txt)"
# --end past the demo's end is cut with a warning; --stats writes one CSV row a frame; a
# capture asks for no swap interval.
expect 0 "--end 230 is past the end of the demo; the run ends at 225 s" \
  --capture frames --fps 2 --start 224 --end 230 --stats stats.txt
[ "$(ls frames | wc -l)" -eq 3 ] && [ "$(head -n 1 stats.txt | cut -d, -f1-3)" = frame,time_s,frame_ms ] &&
  [ "$(wc -l < stats.txt)" -eq 4 ] && grep -q "^frames: 3$" stdout.txt || fail "not 3 frames from 224 to 225 s at 2 fps"
grep -qx "vsync: not asked (capture)" stdout.txt || fail "a capture's vsync: $(grep vsync stdout.txt)"
# Size words that set nothing are named in a warning; an empty configuration is refused.
: > QRV-Velkarn-config.dat
expect 1 'ignoring "640x360": give a size as two whole numbers W H' 640x360 --silent
grep -q "0 by 0" stderr.txt || fail "no message about the size"
