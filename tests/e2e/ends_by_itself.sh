# Started near the end with the silent output, the demo ends by itself with status 0.
source "$(dirname "$0")/lib/common.sh"
echo "320 180 window" > QRV-Velkarn-config.dat
start_demo --start 224 --silent
wait_for_exit 300
[ "$status" -eq 0 ] || fail "exit status $status"
