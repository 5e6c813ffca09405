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
trap stop_demo EXIT
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
