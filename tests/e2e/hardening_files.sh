# Missing and unwritable files. A required file missing ends the run with status 1 and a
# message naming it where it is needed: the model before anything else, then the logo
# image, then the pictures. Optional files (a shader, the tuning files, the layer list)
# may be missing and the particle-map cache unreadable or unwritable (said once each):
# the run goes on. Without its music or a sound device the demo says so on standard error
# and still ends by itself after 225 s.
source "$(dirname "$0")/lib/common.sh"
cp -r dat dat.full
# capture_without AT FILE...: one frame at AT s from a fresh dat/ less FILE...; $status.
capture_without() {
  rm -rf dat frames && cp -r dat.full dat && rm -rf "${@:2}"
  [ -z "${cache_folder:-}" ] || mkdir dat/p-particlemap.dat
  start_demo --capture frames --fps 1 --start "$1" --end "$1"
  wait_for_exit 300
}
for case in "dat/Objekt3.asc|Unable to open dat/Objekt3.asc file." "dat/intro_oneeyewhore_7.png|dat/intro_oneeyewhore_7.png" \
            "dat/logoend.ppm dat/black.jpg|Cannot open the file: dat/logoend.ppm" "dat/black.jpg|dat/black.jpg"; do
  IFS='|' read -r files message <<<"$case"
  capture_without 2 $files
  [ "$status" -eq 1 ] && grep -qF "$message" stdout.txt stderr.txt && [ ! -e frames/frame-000000.png ] ||
    fail "without $files: status $status (not 1), no \"$message\", or a frame was still captured"
done
# A missing shader source is named in one line and its program left out (its layer is
# live at 91.3 s). A cache path that is a folder can be neither read nor written.
cache_folder=1 capture_without 91.3 dat/negative_fragment.glsl
[ "$status" -eq 0 ] && [ -f frames/frame-000000.png ] || fail "no shader, no cache: status $status, or no frame"
grep -qx "velkarn: the shader source dat/negative_fragment.glsl is missing or empty: the negative program is left out" \
  stderr.txt && grep -q "^Cannot write dat/p-particlemap.dat" stderr.txt &&
  grep -q "p-particlemap.dat is incomplete or unreadable" stderr.txt && [ "$(wc -l < stderr.txt)" -eq 3 ] ||
  fail "not one line each for the missing shader, the unreadable and the unwritable cache"
# Tuning files and layer list are optional and silent. The cache written then makes the
# logo image unneeded.
capture_without 2 dat/p-{num,size,negative,kszak,blend}.dat
[ "$status" -eq 0 ] && [ -s dat/p-particlemap.dat ] || fail "no optional files: status $status, or no cache written"
! grep -E "p-(num|size|negative|kszak|blend)\.dat" stdout.txt stderr.txt || fail "a missing optional file was reported"
mv dat/p-particlemap.dat dat.full/
capture_without 2 dat/logoend.ppm
[ "$status" -eq 0 ] && [ -f frames/frame-000000.png ] || fail "the cache without the logo image: status $status"
rm dat.full/p-particlemap.dat
rm Orvalin-Velkarn.mp3
export SDL_AUDIODRIVER=no-such-driver
# Forty-five seconds before the end: the clock runs in real time once the pre-roll is done,
# and on a busy machine under the sanitizers the window and the first frame can take many
# seconds; starts 2 and 10 s before the end saw the demo end before its first frame.
start_demo --start 180 --no-dialogs --stats frames.csv
wait_for_exit 900  # the pre-roll of 180 s and 45 s of playing, under the sanitizers
[ "$status" -eq 0 ] && grep -qx "Error: Bass Init" stderr.txt && grep -qx "Error: file?" stderr.txt ||
  fail "without music or sound device: status $status, or not the two error lines"
# --start holds without a track: the silent clock starts there, not at 0 s.
awk -F, 'NR == 2 { late = $2 >= 180 } END { exit !late }' frames.csv || fail "the first frame is at $(sed -n 2p frames.csv | cut -d, -f2) s, not 180 s"
grep -q "no sound device could be opened (.*); the demo plays on a silent clock (--silent skips the device)" stderr.txt &&
  grep -q "the music file Orvalin-Velkarn.mp3 is missing" stderr.txt || fail "the missing sound device or music is not named"
