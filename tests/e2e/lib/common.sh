# Shared set-up of the end-to-end tests, each called as
#   script VELKARN RUN_DIR WORK_DIR SOURCE_DIR
# and run in its own copy of the run directory, with a 320 by 180 window configured.
set -euo pipefail
velkarn=$1 run_dir=$2 work=$3 source_dir=${4:-}
rm -rf "$work"
mkdir -p "$work"
# -L: the run folder links to the repository's dat/ files; tests change their own copies.
cp -rL "$run_dir/dat" "$work/dat"
rm -f "$work/dat/p-particlemap.dat"
[ -f "$run_dir/Orvalin-Velkarn.mp3" ] && ln -s "$run_dir/Orvalin-Velkarn.mp3" "$work/Orvalin-Velkarn.mp3"
cd "$work"
echo "320 180 window" > QRV-Velkarn-config.dat

fail() {
  echo "FAIL: $*" >&2
  [ -f stderr.txt ] && { echo "--- program's standard error:" >&2; tail -n 30 stderr.txt >&2; }
  exit 1
}

# The program in the background ($pid), stopped when the test ends so no window outlives it.
pid=""
start_demo() {
  xdotool search --name '^the vel karn$' > windows-before.txt 2>/dev/null || true
  "$velkarn" "$@" >stdout.txt 2>stderr.txt &
  pid=$!
}
stop_demo() {
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
  pid=""
}
trap stop_demo EXIT

# Waits up to $1 seconds for the program to end ($status is its status), or fails.
wait_for_exit() {
  for _ in $(seq $(($1 * 10))); do
    kill -0 "$pid" 2>/dev/null || { status=0; wait "$pid" || status=$?; return 0; }
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  fail "the program did not end within $1 s"
}

# The frame rows in the statistics file $1 (--stats FILE writes one as each frame ends).
stats_rows() { echo $(($(wc -l 2>/dev/null < "$1" || echo 1) - 1)); }
# Waits up to five minutes for $1 frame rows in the statistics file $2; fails at once if
# the program ended. The first frames wait on the start-up, which under the sanitizers and
# beside the heavier tests once took over a minute.
wait_for_rows() {
  for _ in $(seq 3000); do
    [ "$(stats_rows "$2")" -ge "$1" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the program ended before its frame $1"
    sleep 0.1
  done
  fail "no frame $1 in $2 within five minutes"
}

# Waits up to $1 seconds for a new window with the demo's title and prints its id; fails
# at once if the program ended. Tests that use it run alone (RUN_SERIAL).
wait_for_window() {
  for _ in $(seq $(($1 * 10))); do
    xdotool search --name '^the vel karn$' 2>/dev/null | grep -m1 -vxFf windows-before.txt && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}
