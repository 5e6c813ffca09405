# Unknown options and absurd sizes are refused with a message, before any window opens.
source "$(dirname "$0")/lib/common.sh"
status=0; "$velkarn" --frobnicate 2>stderr.txt || status=$?
[ "$status" -eq 2 ] || fail "unknown option gave status $status"
grep -q -- "--frobnicate" stderr.txt || fail "message does not name the option"
"$velkarn" --help >stdout.txt || fail "--help failed"
grep -q -- "--capture" stdout.txt || fail "--help does not list the options"
: > QRV-Velkarn-config.dat
status=0; "$velkarn" --silent 2>stderr.txt || status=$?
[ "$status" -eq 1 ] || fail "an empty configuration (0 by 0) gave status $status"
grep -q "0 by 0" stderr.txt || fail "no message about the size"
