#!/usr/bin/env bash
# Runs one fuzzer: first over every saved regression input, then for SECONDS from a
# working copy of the seed corpus. Fails on any crash, leak, timeout or sanitizer report.
#   run_fuzzer.sh FUZZER SECONDS SEED_DIR REGRESSION_DIR WORK_DIR
set -euo pipefail
fuzzer=$1 seconds=$2 seeds=$3 regressions=$4 work=$5
name=$(basename "$fuzzer")

rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:allocator_may_return_null=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# -close_fd_mask=2: the readers' warnings about malformed input stay out of the log;
# sanitizer and libFuzzer reports still reach it.
common=(-close_fd_mask=2 -timeout=5 -rss_limit_mb=2560 -malloc_limit_mb=2048 "-artifact_prefix=$work/artifacts/")

shopt -s nullglob
inputs=()
for f in "$regressions"/*; do
  case $(basename "$f") in README*) ;; *) inputs+=("$f") ;; esac
done
if [ "${#inputs[@]}" -gt 0 ]; then
  echo "$name: replaying ${#inputs[@]} regression input(s)"
  "$fuzzer" "${common[@]}" "${inputs[@]}" >"$work/replay.log" 2>&1 || {
    tail -n 40 "$work/replay.log" >&2
    echo "$name: a regression input fails again" >&2
    exit 1
  }
fi

cp -r "$seeds"/. "$work/corpus/" 2>/dev/null || true
status=0
"$fuzzer" "${common[@]}" -max_total_time="$seconds" -print_final_stats=1 \
  "$work/corpus" >"$work/fuzz.log" 2>&1 || status=$?
runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/fuzz.log" | grep -o '[0-9]*$' || echo "?")
echo "$name: ${seconds}s, $runs executions, status $status"
if [ "$status" -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$work/fuzz.log"; then
  grep -E 'ERROR|runtime error|SUMMARY|Test unit written' "$work/fuzz.log" | head -20 >&2
  tail -n 40 "$work/fuzz.log" >&2
  echo "$name: failed; the input is in $work/artifacts/ (add it to tests/fuzz-regressions/$name/)" >&2
  exit 1
fi
