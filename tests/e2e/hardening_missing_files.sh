# Missing data files: each required one ends the run with a message naming it and a
# non-zero status at the point where it is needed (the model before anything else, then
# the logo image, then the pictures); the optional ones (shaders, tuning files, layer
# list) leave the run going.
source "$(dirname "$0")/lib/common.sh"
cp -r dat dat.full

fresh_dat() {
  rm -rf dat
  cp -r dat.full dat
  echo "320 180 window" > QRV-Velkarn-config.dat
}

# Runs a one-frame capture; its status is in $status, its output in stdout/stderr.txt.
capture_once() {
  rm -rf frames
  start_demo --capture frames --fps 1 --start 2 --end 2
  wait_for_exit 300
}

expect_failure_naming() {
  local case=$1 file=$2
  capture_once
  [ "$status" -ne 0 ] || fail "$case: exit status 0"
  grep -qF "$file" stdout.txt stderr.txt || fail "$case: no message naming $file"
  [ ! -e frames/frame-000000.png ] || fail "$case: a frame was still captured"
}

expect_success() {
  local case=$1
  capture_once
  [ "$status" -eq 0 ] || fail "$case: exit status $status"
  [ -f frames/frame-000000.png ] || fail "$case: no frame captured"
}

# No dat/ at all: the model is the first file read, during static initialisation.
fresh_dat
rm -rf dat
expect_failure_naming "no dat/" "Unable to open dat/Objekt3.asc file."

# The model alone.
fresh_dat
rm dat/Objekt3.asc
expect_failure_naming "no model" "Unable to open dat/Objekt3.asc file."
[ "$status" -eq 1 ] || fail "no model: exit status $status, not 1"

# The logo image without a cache: named on standard output, status 1. The images
# missing as well are never reached.
fresh_dat
rm dat/logoend.ppm dat/black.jpg
expect_failure_naming "no logo image" "Cannot open the file: dat/logoend.ppm"
[ "$status" -eq 1 ] || fail "no logo image: exit status $status, not 1"

# A picture, then one frame of the intro sequence.
for picture in dat/black.jpg dat/intro_oneeyewhore_7.png; do
  fresh_dat
  rm "$picture"
  expect_failure_naming "no $picture" "$picture"
done

# A shader source: named in one line on standard error, the run goes on without that
# program and without a GL error in its frames.
fresh_dat
rm dat/negative_fragment.glsl
rm -rf frames
start_demo --capture frames --fps 1 --start 91.3 --end 91.3  # its layer is live then
wait_for_exit 300
[ "$status" -eq 0 ] && [ -f frames/frame-000000.png ] || fail "no shader: status $status, or no frame"
[ "$(cat stderr.txt)" = "velkarn: the shader source dat/negative_fragment.glsl is missing or empty: the negative program is left out" ] ||
  fail "no shader: not the one line naming the missing source: $(cat stderr.txt)"

# Tuning files and layer list are optional and silent (a missing configuration is too;
# fullscreen_default.sh covers it, since it means game mode).
fresh_dat
rm dat/p-num.dat dat/p-size.dat dat/p-negative.dat dat/p-kszak.dat dat/p-blend.dat
capture_once
[ "$status" -eq 0 ] || fail "no optional files: exit status $status"
! grep -E "p-(num|size|negative|kszak|blend)\.dat" stdout.txt stderr.txt ||
  fail "no optional files: a missing optional file was reported"

# With a cache written by an earlier run, the logo image is not needed.
fresh_dat
expect_success "cache made"
[ -f dat/p-particlemap.dat ] || fail "the first run wrote no cache"
rm dat/logoend.ppm
expect_success "cache without logo"
