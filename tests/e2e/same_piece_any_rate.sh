# One piece at every frame rate and from every start. The frame rules run 60 times a second
# of demo time, so at a whole second captures at 20, 60 and 144 frames a second have run the
# same ticks, and draw the same state at the same time: their frames there are equal byte for
# byte. Nothing else carries over from frame to frame (the blob section's snapshots are drawn
# at the ticks that ask for them), so no tolerance is needed; a pixel that differs is a rule
# that still follows the frames. A run from --start 205 shows at 208 s what one from
# --start 200 shows: the pre-roll runs every tick before the start.
source "$(dirname "$0")/lib/common.sh"
capture() {
  local dir=$1
  shift
  "$velkarn" --capture "$dir" "$@" >>stdout.txt 2>>stderr.txt || fail "the capture $dir ($*) failed"
}
same() { cmp -s "$1" "$2" || fail "$1 and $2 differ"; }

# The first capture writes the particle-map cache that the others read.
# 30 to 31 s, the particles riding the fluid: 20 and 144 frames a second against 60.
for fps in 60 20 144; do capture "flow$fps" --fps "$fps" --start 30 --end 31; done
for fps in 20 144; do
  same flow60/frame-000000.png "flow$fps/frame-000000.png"
  same flow60/frame-000060.png "flow$fps/$(printf 'frame-%06d.png' "$fps")"
done
# 108 to 109 s, the soft bodies and their strings; the glitched snapshot of 106.93 s is drawn
# by the pre-roll, the one of 108.55 s between frames.
for fps in 20 144; do capture "blob$fps" --fps "$fps" --start 108 --end 109; done
same blob20/frame-000000.png blob144/frame-000000.png
same blob20/frame-000020.png blob144/frame-000144.png

# The end logo at 208 s from two starts.
capture from205 --fps 5 --start 205 --end 208
capture from200 --fps 5 --start 200 --end 208
same from205/frame-000015.png from200/frame-000040.png
