# A configuration "1280 720 window" opens a 1280 by 720 window titled "the vel karn".
source "$(dirname "$0")/lib/common.sh"
echo "1280 720 window" > QRV-Velkarn-config.dat
start_demo --silent
id=$(wait_for_window 240) || fail "no window titled 'the vel karn'"
geometry=$(xdotool getwindowgeometry "$id")
echo "$geometry"
grep -q "Geometry: 1280x720" <<<"$geometry" || fail "window is not 1280x720: $geometry"
stop_demo
