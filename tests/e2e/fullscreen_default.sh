# With no configuration file the picture is shown full screen even where the display
# cannot switch modes (no X server under test can): the full-screen window covers the
# screen and the picture is scaled to fill it, centred, with equal black bars. Each screen
# is a private X server of its own.
source "$(dirname "$0")/lib/common.sh"
use_frame_pattern
screens=(
  "2560x1440 2560x1440+0+0"   # the picture's shape: fills
  "1366x768 1366x768+0+0"     # almost its shape: fills, nothing cut off
  "2560x1080 1920x1080+320+0" # wider: bars left and right
  "1600x1200 1600x900+0+150"  # taller: bars above and below
)
for screen in "${screens[@]}"; do
  stop_demo
  read -r size box <<<"$screen"
  start_screen "$size"
  start_demo --silent
  id=$(wait_for_window 240) || fail "no full-screen window on $size"
  for _ in $(seq 50); do
    geometry=$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p')
    [ "$geometry" = "$size" ] && break
    sleep 0.1
  done
  [ "$geometry" = "$size" ] || fail "window $geometry does not cover the $size screen"
  expect_picture_at root "$box" 180
  echo "$size: picture at $box"
done
# The picture follows a later change of the window's size.
xdotool windowsize "$id" 960 1080
expect_picture_at "$id" 960x540+0+270 60
