# Writes that fail part way, as on a full disk: a capture, a video and a statistics file
# into a 1 MB tmpfs, mounted in a mount namespace of the test's own. Each run ends with
# status 1 and a message naming the file and the system's reason, and leaves no empty or
# partial file under a frame's name. Where no namespace can be made, a file-size limit
# (ulimit -f) fails the first frame and the video instead, and the statistics file is left
# to the unit tests.
source "$(dirname "$0")/lib/common.sh"
mkdir small

# small_run NAME ARGS...: the program with ARGS, `small` a fresh 1 MB tmpfs (or, without a
# namespace, files limited to 20 kB); afterwards NAME.status holds its status, NAME.err its
# standard error and NAME.files what `small` held, "name size" a line.
cat >small-run.sh <<'EOF'
name=$1 mode=$2
shift 2
if [ "$mode" = tmpfs ]; then
  mount -t tmpfs -o size=1m tmpfs small || exit 97
  [ -n "${FILL:-}" ] && head -c "$FILL" /dev/zero >small/filler
else
  ulimit -f 20
fi
status=0
"$@" >"$name.out" 2>"$name.err" || status=$?
echo "$status" >"$name.status"
find small -mindepth 1 -printf '%P %s\n' | sort >"$name.files"
EOF

mode=ulimit
if unshare -m true 2>/dev/null; then
  namespace=(unshare -m)
  mode=tmpfs
elif unshare -rm true 2>/dev/null; then
  namespace=(unshare -rm)
  mode=tmpfs
fi
small_run() {
  local name=$1
  shift
  if [ "$mode" = tmpfs ]; then
    FILL=${FILL:-} "${namespace[@]}" bash small-run.sh "$name" tmpfs "$@" || fail "no tmpfs in the namespace"
  else
    bash small-run.sh "$name" ulimit "$@"
  fi
  [ -f "$name.status" ] || fail "$name did not run"
}
echo "full_disk: writing into a $([ "$mode" = tmpfs ] && echo "1 MB tmpfs" || echo "20 kB file-size limit")"

# A capture: some frames fit, the next does not.
small_run capture "$velkarn" --capture small/frames --fps 10 --start 30 --end 33 --silent --no-dialogs
[ "$(cat capture.status)" -eq 1 ] || fail "the capture ended with status $(cat capture.status), not 1"
grep -Eq "^velkarn: cannot write small/frames/frame-[0-9]{6}\.png: (No space left on device|File too large)$" \
  capture.err || fail "the capture did not name the frame and the reason: $(cat capture.err)"
grep "^frames/" capture.files >frames.txt || true
if grep -qv ' [1-9][0-9]*$' frames.txt || grep -q '/\.' frames.txt; then
  fail "an empty or hidden partial frame was left: $(tr '\n' ' ' <frames.txt)"
fi
if [ "$mode" = tmpfs ]; then
  [ "$(wc -l <frames.txt)" -ge 2 ] || fail "not even the first frames were written before the disk was full"
fi
# The frames that are there are the first ones, in order, each a whole PNG.
n=0
while read -r file _; do
  [ "$file" = "frames/$(printf 'frame-%06d.png' "$n")" ] || fail "frame $n is missing before $file"
  n=$((n + 1))
done <frames.txt

# A video, with 64 kB left: the encoder's own reason is passed on, and nothing is left.
if command -v ffmpeg >/dev/null; then
  FILL=$([ "$mode" = tmpfs ] && echo $((1024 * 1024 - 65536))) \
    small_run video "$velkarn" --video small/v.mp4 --fps 10 --start 30 --end 33 --silent --no-dialogs
  [ "$(cat video.status)" -eq 1 ] || fail "the video ended with status $(cat video.status), not 1"
  grep -Eq "No space left on device|File too large" video.err || fail "the video did not say why: $(cat video.err)"
  grep 'v\.mp4' video.files >video-left.txt || true
  [ ! -s video-left.txt ] || fail "the video left files: $(tr '\n' ' ' <video-left.txt)"
fi

# A statistics file that stops growing part way through a run writing its frames elsewhere.
if [ "$mode" = tmpfs ]; then
  FILL=$((1024 * 1024 - 4096)) small_run stats "$velkarn" --capture frames --fps 30 --start 30 --end 33 \
    --stats small/s.csv --silent --no-dialogs
  [ "$(cat stats.status)" -eq 1 ] || fail "the run with a full statistics file ended with status $(cat stats.status)"
  [ "$(grep -c "cannot write the statistics file" stats.err)" -eq 1 ] &&
    grep -q "^velkarn: cannot write the statistics file small/s.csv: No space left on device$" stats.err ||
    fail "the statistics file's failure was not said once with its reason: $(cat stats.err)"
  [ "$(ls frames | wc -l)" -lt 91 ] || fail "the run went on to its end after the statistics file failed"
fi
echo "full_disk: passed"
