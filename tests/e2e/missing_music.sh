# Without its music or a sound device the demo says so on standard error ("Bass Init" and
# "file?", each followed by one plain line) and still ends after 225 s.
source "$(dirname "$0")/lib/common.sh"
rm -f Orvalin-Velkarn.mp3
echo "320 180 window" > QRV-Velkarn-config.dat
export SDL_AUDIODRIVER=no-such-driver
start_demo --start 223 --no-dialogs
wait_for_exit 90  # far less than a run from 0 s: --start holds without a track
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q "file?" stderr.txt || fail "no 'file?' on standard error"
grep -q "no sound device could be opened (.*); the demo plays on a silent clock (--silent skips the device)" stderr.txt ||
  fail "no line about the missing sound device"
grep -q "the music file Orvalin-Velkarn.mp3 is missing" stderr.txt || fail "the missing music file is not named"
