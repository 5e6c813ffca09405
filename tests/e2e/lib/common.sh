# Shared set-up of the end-to-end tests. Each test script is called as
#   script VELKARN RUN_DIR WORK_DIR SOURCE_DIR
# and runs the program in its own copy of the run directory.
set -euo pipefail
velkarn=$1
run_dir=$2
work=$3
source_dir=${4:-}

rm -rf "$work"
mkdir -p "$work"
# -L: the run folder links to the repository's dat/ files; tests change their own copies.
cp -rL "$run_dir/dat" "$work/dat"
rm -f "$work/dat/p-particlemap.dat"
[ -f "$run_dir/Orvalin-Velkarn.mp3" ] && ln -s "$run_dir/Orvalin-Velkarn.mp3" "$work/Orvalin-Velkarn.mp3"
cd "$work"

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/stderr.txt" ] && { echo "--- program's standard error:" >&2; tail -n 30 "$work/stderr.txt" >&2; }
  exit 1
}

demo_windows() { xdotool search --name '^the vel karn$' 2>/dev/null || true; }

# Waits up to $1 seconds for a new window with the demo's title (one that was not there
# when the program was started); prints its id. Fails at once if the program ended.
# Tests that use it run alone (RUN_SERIAL).
wait_for_window() {
  local seconds=$1 id
  for _ in $(seq $((seconds * 10))); do
    for id in $(demo_windows); do
      grep -qx "$id" "$work/windows-before.txt" || { echo "$id"; return 0; }
    done
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Runs the program in the background; its pid is in $pid. The program is stopped when
# the test ends, passed or failed, so no window outlives its test.
pid=""
stop_demo() {
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
}
trap 'stop_demo; stop_screen' EXIT
start_demo() {
  demo_windows > "$work/windows-before.txt"
  "$velkarn" "$@" >"$work/stdout.txt" 2>"$work/stderr.txt" &
  pid=$!
}

# Waits up to $1 seconds for the program to end; its status is in $status.
wait_for_exit() {
  local seconds=$1
  for _ in $(seq $((seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      status=0
      wait "$pid" || status=$?
      return 0
    fi
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  fail "the program did not end within $seconds s"
}

# A private X server with one screen of $1 (WxH) for this test alone; DISPLAY points at
# it until the next call. The server picks a free display number itself.
xvfb=""
stop_screen() {
  [ -n "$xvfb" ] || return 0
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  xvfb=""
}
start_screen() {
  stop_screen
  : > "$work/display.txt"
  # -noreset: a server that resets when its last client (the check below) leaves refuses
  # connections for a moment.
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$work/display.txt" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do
    if [ -s "$work/display.txt" ]; then
      export DISPLAY=":$(head -n 1 "$work/display.txt")"
      [ "$(xdotool getdisplaygeometry 2>/dev/null | tr ' ' x)" = "$1" ] && return 0
      break
    fi
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  fail "no Xvfb with a $1 screen"
}

# Every frame is replaced by a green field in a red frame, so a screenshot shows where the
# picture sits and whether it is whole.
use_frame_pattern() {
  convert -size 192x108 xc:red -fill lime -draw 'rectangle 8,8 183,99' dat/frame-pattern.png
  printf 'start end image effect\n-1 1000 dat/frame-pattern.png replace\n' > dat/p-blend.dat
}

# Where the picture is in the PNG $1: the box WxH+X+Y (from the top left) of what is not
# black, then the rounded red and green of five points inside the box, its left, right,
# top and bottom edges and its middle ("10" red, "01" green).
picture_state() {
  local box w h x y inset p format=""
  box=$(convert "$1" -bordercolor black -border 1 -fuzz 25% -format '%@' info: 2>/dev/null |
    awk -F'[x+]' 'NF == 4 { printf "%dx%d+%d+%d", $1, $2, $3 - 1, $4 - 1 }')
  [ -n "$box" ] || { echo "nothing"; return 0; }
  IFS='x+' read -r w h x y <<<"$box"
  inset=$((h / 60))
  for p in "$((x + inset)),$((y + h / 2))" "$((x + w - 1 - inset)),$((y + h / 2))" \
           "$((x + w / 2)),$((y + inset))" "$((x + w / 2)),$((y + h - 1 - inset))" "$((x + w / 2)),$((y + h / 2))"; do
    format+=" %[fx:round(p{$p}.r)]%[fx:round(p{$p}.g)]"
  done
  echo "$box $(convert "$1" -format "${format# }" info:)"
}

# Takes screenshots of window $1 ("root": the screen) for up to $3 seconds until the frame
# pattern fills exactly the box $2 with black around it, its red frame on all four sides
# around a green middle: the picture is whole, not cut, and nowhere else.
expect_picture_at() {
  local window=$1 want="$2 10 10 10 10 01" deadline=$((SECONDS + $3)) state=""
  while [ "$SECONDS" -lt "$deadline" ]; do
    import -window "$window" "$work/shot.png" 2>/dev/null || true
    state=$(picture_state "$work/shot.png")
    [ "$state" = "$want" ] && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 1
  done
  fail "the picture shows as \"$state\", not \"$want\" (box; left, right, top, bottom, middle)"
}
