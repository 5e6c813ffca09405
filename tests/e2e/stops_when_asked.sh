# Ctrl+C and SIGTERM end the demo at once. A demo playing with sound (SDL's dummy driver,
# whose library would otherwise catch both signals) goes on SIGTERM; a video run goes on
# Ctrl+C (SIGINT) and takes its encoder and its partial file with it, so nothing is left
# under the video's name or beside it.
source "$(dirname "$0")/lib/common.sh"
# stopped SIGNAL STATUS: sends SIGNAL and expects the program gone, ended by it. A demo
# that does not stop never ends; one that does ends at once, so a minute is plenty.
stopped() {
  kill "-$1" "$pid"
  wait_for_exit 60
  pid=""
  [ "$status" -eq "$2" ] || fail "after $1 the status is $status, not $2"
}

[ "${SDL_AUDIODRIVER:-}" = dummy ] || export SDL_AUDIODRIVER=dummy
start_demo --no-dialogs --stats frames.csv
wait_for_rows 3 frames.csv
! grep -q "no sound device" stderr.txt || fail "the demo did not play with sound: $(cat stderr.txt)"
stopped TERM 143

# A background job of a script ignores SIGINT; env gives the program the default back,
# as a terminal would.
env --default-signal=INT "$velkarn" --video clip.mp4 --fps 10 --start 40 --end 100 >stdout.txt 2>stderr.txt &
pid=$!
# The progress line, a few times a second, says when the third frame is in.
third=$'\rvideo: frame ([3-9]|[1-9][0-9]+)/'
for _ in $(seq 3000); do
  grep -qE "$third" stderr.txt && break
  kill -0 "$pid" 2>/dev/null || fail "the video run ended before its third frame"
  sleep 0.1
done
grep -qE "$third" stderr.txt || fail "no third video frame within five minutes"
encoder=$(pgrep -P "$pid" || true)
[ -n "$encoder" ] || fail "no encoder process under the video run"
stopped INT 130
[ ! -e clip.mp4 ] && ! ls -A | grep -q partial || fail "a stopped video left a file: $(ls -A)"
! kill -0 "$encoder" 2>/dev/null || fail "the encoder outlived the stopped video run"
