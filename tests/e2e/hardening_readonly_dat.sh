# The particle-map cache cannot be written: the program says so once on standard error,
# keeps the sampled map for the run and ends normally. Run as root, so the cache path is
# made unwritable by pointing it into a folder that does not exist; when the system lets
# us drop to the user nobody, a second run has a truly read-only dat/ as well.
source "$(dirname "$0")/lib/common.sh"
echo "320 180 window" > QRV-Velkarn-config.dat
message="Cannot write dat/p-particlemap.dat"

check_run() {
  local label=$1
  [ "$status" -eq 0 ] || fail "$label: exit status $status"
  [ -f "$label/frame-000000.png" ] || fail "$label: no frame captured"
  local count
  count=$(grep -c "$message" stderr.txt || true)
  [ "$count" -eq 1 ] || fail "$label: the cache message appears $count times"
  [ ! -e dat/p-particlemap.dat ] || fail "$label: a cache file was written"
}

# 1. The cache path is a dangling link: reading finds nothing, writing cannot create it.
ln -s /nonexistent-velkarn-dir/p-particlemap.dat dat/p-particlemap.dat
start_demo --capture dangling --fps 1 --start 2 --end 2
wait_for_exit 300
check_run dangling
rm dat/p-particlemap.dat

# 2. The cache path is a folder: it can be neither read nor written; both are said once.
mkdir dat/p-particlemap.dat
start_demo --capture folder --fps 1 --start 2 --end 2
wait_for_exit 300
[ "$status" -eq 0 ] || fail "folder: exit status $status"
[ -f folder/frame-000000.png ] || fail "folder: no frame captured"
[ "$(grep -c "$message" stderr.txt || true)" -eq 1 ] || fail "folder: the cache message is not there once"
[ "$(grep -c "p-particlemap.dat is incomplete or unreadable" stderr.txt || true)" -eq 1 ] ||
  fail "folder: the unreadable cache is not reported once"
rmdir dat/p-particlemap.dat

# 3. dat/ read-only for the user running the program.
if command -v setpriv >/dev/null && setpriv --reuid=nobody --regid=nogroup --clear-groups true 2>/dev/null; then
  chmod -R a+rX "$work"
  chmod a-w dat
  mkdir -m 777 readonly
  setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env HOME=/tmp "$velkarn" --capture readonly --fps 1 --start 2 --end 2 >stdout.txt 2>stderr.txt &
  pid=$!
  wait_for_exit 300
  chmod u+w dat
  check_run readonly
else
  echo "setpriv cannot switch to nobody here; only the dangling-link run was made"
fi
