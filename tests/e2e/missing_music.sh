# Without its music the demo says "file?" on standard error and still ends after 225 s.
source "$(dirname "$0")/lib/common.sh"
rm -f Orvalin-Velkarn.mp3
echo "320 180 window" > QRV-Velkarn-config.dat
start_demo --start 223 --no-dialogs
wait_for_exit 90  # far less than a run from 0 s: --start holds without a track
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q "file?" stderr.txt || fail "no 'file?' on standard error"
