# A configuration "1280 720 window" opens a 1280 by 720 window titled "the vel karn".
# Made larger, the window shows the picture unscaled at the left edge, centred vertically.
source "$(dirname "$0")/lib/common.sh"
echo "1280 720 window" > QRV-Velkarn-config.dat
use_frame_pattern
start_demo --silent
id=$(wait_for_window 240) || fail "no window titled 'the vel karn'"
geometry=$(xdotool getwindowgeometry "$id")
echo "$geometry"
grep -q "Geometry: 1280x720" <<<"$geometry" || fail "window is not 1280x720: $geometry"
expect_picture_at "$id" 1280x720+0+0 180
xdotool windowsize "$id" 1480 820
expect_picture_at "$id" 1280x720+0+50 60
stop_demo
