# Where the picture sits, on a private X server with a screen of another shape. With no
# configuration the demo is full screen even where the display cannot switch modes (no X
# server under test can): the window covers the screen and the picture is scaled to fill
# it between equal black bars, and follows a later change of the window's size. A "1280
# 720 window" configuration opens a window of that size; made larger, it shows the picture
# unscaled at the left edge, centred vertically.
source "$(dirname "$0")/lib/common.sh"
# Every frame is replaced by a green field in a red frame, so a screenshot shows where the
# picture sits and whether it is whole.
convert -size 192x108 xc:red -fill lime -draw 'rectangle 8,8 183,99' dat/frame-pattern.png
printf 'start end image effect\n-1 1000 dat/frame-pattern.png replace\n' > dat/p-blend.dat

# Where the picture is in the PNG $1: the box WxH+X+Y of what is not black, then the rounded
# red and green ("10" red, "01" green) of its left, right, top and bottom edges and middle.
picture_state() {
  local w h x y i p format=""
  IFS='x+' read -r w h x y < <(convert "$1" -bordercolor black -border 1 -fuzz 25% -format '%@' info: 2>/dev/null |
    awk -F'[x+]' 'NF == 4 { print $1 "x" $2 "+" $3 - 1 "+" $4 - 1 }') || { echo nothing; return 0; }
  i=$((h / 60))
  for p in $((x + i)),$((y + h / 2)) $((x + w - 1 - i)),$((y + h / 2)) $((x + w / 2)),$((y + i)) \
           $((x + w / 2)),$((y + h - 1 - i)) $((x + w / 2)),$((y + h / 2)); do
    format+=" %[fx:round(p{$p}.r)]%[fx:round(p{$p}.g)]"
  done
  echo "${w}x$h+$x+$y $(convert "$1" -format "${format# }" info:)"
}
# Screenshots of window $1 ("root": the screen) for up to $3 seconds until the frame
# pattern fills exactly the box $2, whole, with black around it.
expect_picture_at() {
  local want="$2 10 10 10 10 01" deadline=$((SECONDS + $3)) state=""
  while [ "$SECONDS" -lt "$deadline" ] && kill -0 "$pid" 2>/dev/null; do
    import -window "$1" shot.png 2>/dev/null || true
    state=$(picture_state shot.png)
    [ "$state" = "$want" ] && return 0
    sleep 1
  done
  fail "the picture shows as \"$state\", not \"$want\" (box; left, right, top, bottom, middle)"
}

# A screen wider than the picture: bars left and right; the window made narrower: bars
# above and below. -noreset: no reset, and no refused connections, as a last client leaves.
Xvfb -displayfd 3 -screen 0 2560x1200x24 -nolisten tcp -noreset 3>display.txt >/dev/null 2>&1 &
trap "stop_demo; kill $!" EXIT
for _ in $(seq 600); do
  export DISPLAY=":$(head -n 1 display.txt)"
  [ "$(xdotool getdisplaygeometry 2>/dev/null)" = "2560 1200" ] && break
  sleep 0.1
done
[ "$(xdotool getdisplaygeometry)" = "2560 1200" ] || fail "no Xvfb with a 2560x1200 screen"
rm QRV-Velkarn-config.dat
# The screen is covered while start-up loading still runs: a tuning file that is a pipe
# holds the loading until the test writes into it.
mv dat/p-num.dat p-num.dat && mkfifo dat/p-num.dat
start_demo --silent
id=$(wait_for_window 240) || fail "no full-screen window"
geometry=""
for _ in $(seq 600); do
  geometry=$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p')
  [ "$geometry" = 2560x1200 ] && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended while loading"
  sleep 0.1
done
[ "$geometry" = 2560x1200 ] || fail "while loading, the window $geometry does not cover the 2560x1200 screen"
# Meanwhile it shows the loading bar across the middle (1024 by 12 pixels from 768, 594):
# filled at its left end, the grey track on the right, black around it.
bar=""
for _ in $(seq 240); do
  import -window root shot.png 2>/dev/null || true
  bar=$(convert shot.png -format '%[fx:p{778,600}.r > 0.6] %[fx:abs(p{1700,600}.r - 0.2) < 0.05] %[fx:p{100,600}.r < 0.05]' \
    info: 2>/dev/null) || bar=""
  [ "$bar" = "1 1 1" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended while loading"
  sleep 1
done
[ "$bar" = "1 1 1" ] || fail "no loading bar while loading (filled, track, black around: $bar)"
timeout 240 sh -c 'cat p-num.dat > dat/p-num.dat' || fail "the program never read dat/p-num.dat"
rm dat/p-num.dat && mv p-num.dat dat/p-num.dat
expect_picture_at root 2133x1200+213+0 180
xdotool windowsize "$id" 960 1080
expect_picture_at "$id" 960x540+0+270 120

stop_demo
echo "1280 720 window" > QRV-Velkarn-config.dat
start_demo --silent
id=$(wait_for_window 240) || fail "no window titled 'the vel karn'"
xdotool getwindowgeometry "$id" | grep -q "Geometry: 1280x720" || fail "the window is not 1280x720"
expect_picture_at "$id" 1280x720+0+0 180
xdotool windowsize "$id" 1480 820
expect_picture_at "$id" 1280x720+0+50 120
