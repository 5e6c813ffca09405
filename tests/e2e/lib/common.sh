# Shared set-up of the end-to-end tests. Each test script is called as
#   script VELKARN RUN_DIR WORK_DIR
# and runs the program in its own copy of the run directory.
set -euo pipefail
velkarn=$1
run_dir=$2
work=$3

rm -rf "$work"
mkdir -p "$work"
cp -r "$run_dir/dat" "$work/dat"
rm -f "$work/dat/p-particlemap.dat"
[ -f "$run_dir/Orvalin-Velkarn.mp3" ] && ln -s "$run_dir/Orvalin-Velkarn.mp3" "$work/Orvalin-Velkarn.mp3"
cd "$work"

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/stderr.txt" ] && { echo "--- program's standard error:" >&2; tail -n 30 "$work/stderr.txt" >&2; }
  exit 1
}

# Waits up to $1 seconds for a window with the demo's title; prints its id. Tests that
# use it run alone (RUN_SERIAL), so the window is this test's.
wait_for_window() {
  local seconds=$1 id=""
  for _ in $(seq $((seconds * 10))); do
    id=$(xdotool search --name '^the vel karn$' 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Runs the program in the background; its pid is in $pid.
start_demo() {
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
