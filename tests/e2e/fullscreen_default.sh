# With no configuration file the picture is shown full screen, even where the display
# cannot switch modes.
source "$(dirname "$0")/lib/common.sh"
start_demo --silent
id=$(wait_for_window 240) || fail "no full-screen window"
display=$(xdotool getdisplaygeometry | tr ' ' 'x')
for _ in $(seq 50); do
  geometry=$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p')
  [ "$geometry" = "$display" ] && break
  sleep 0.1
done
[ "$geometry" = "$display" ] || fail "window $geometry does not cover the display $display"
kill -0 "$pid" || fail "the program died"
stop_demo
