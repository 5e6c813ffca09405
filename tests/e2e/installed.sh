# The installed program: cmake --install into a prefix, then a run as an ordinary user (nobody
# when the test runs as root) from an empty folder. It finds its data in PREFIX/share/velkarn,
# writes its frames where it was started and its particle-map cache under XDG_CACHE_HOME, and
# changes nothing in the prefix. The checkout may live where nobody else can enter (root's
# home, a mktemp -d folder); this test's own folder is made so, and the prefix, the folder
# the program starts in and its home are made in a folder of their own under /tmp.
source "$(dirname "$0")/lib/common.sh"
chmod 700 "$work"
shared=$(mktemp -d /tmp/velkarn-installed.XXXXXX)
chmod 755 "$shared"
trap 'stop_demo; rm -rf "$shared"' EXIT
prefix=$shared/prefix
cmake --install "$(dirname "$run_dir")" --prefix "$prefix" >install.txt || fail "cmake --install failed"
for file in bin/velkarn share/velkarn/Orvalin-Velkarn.mp3 share/velkarn/dat/p-blend.dat share/velkarn/dat/logoend.ppm \
            share/velkarn/dat/Objekt3.asc share/man/man6/velkarn.6.gz share/applications/velkarn.desktop \
            share/icons/hicolor/256x256/apps/velkarn.png; do
  [ -f "$prefix/$file" ] && [ ! -L "$prefix/$file" ] || fail "$file is not installed as a file"
done
[ ! -e "$prefix/share/velkarn/dat/p-particlemap.dat" ] || fail "a particle-map cache was installed"
# A record cut short at the end of the layer list: its warning names the installed file.
data=$prefix/share/velkarn/dat
printf '1 2 0\n' >>"$data/p-blend.dat"
listing() { find "$prefix" -printf '%p %y %s %T@ %m\n' | sort; }
listing >prefix-before.txt

mkdir "$shared/run" "$shared/home"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  # nobody cannot use an X display with access control: a private one without.
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  chmod -R a+rX "$shared" && chown nobody:nogroup "$shared/run" "$shared/home"
  Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -ac 3>display.txt >/dev/null 2>&1 &
  xvfb=$!
  trap 'stop_demo; kill $xvfb 2>/dev/null || true; rm -rf "$shared"' EXIT
  for _ in $(seq 600); do [ -s display.txt ] && break; sleep 0.1; done
  [ -s display.txt ] || fail "no Xvfb for the ordinary user"
  export DISPLAY=":$(head -n 1 display.txt)"
fi
(cd "$shared/run" && exec "${as_user[@]}" env HOME="$shared/home" XDG_CACHE_HOME="$shared/home/cache" \
   "$prefix/bin/velkarn" 320 180 --capture frames --fps 1 --start 30 --end 31 >"$work/stdout.txt" 2>"$work/stderr.txt") &
pid=$!
wait_for_exit 900
[ "$status" -eq 0 ] || fail "the installed program ended with status $status"
[ "$(cd "$shared/run" && find . | sort | tr '\n' ' ')" = ". ./frames ./frames/frame-000000.png ./frames/frame-000001.png " ] ||
  fail "not just the two frames in the folder it was started from: $(cd "$shared/run" && find . | tr '\n' ' ')"
caches=("$shared"/home/cache/velkarn/p-particlemap-*.dat)
[ "${#caches[@]}" -eq 1 ] && [ -s "${caches[0]}" ] || fail "not one particle-map cache in XDG_CACHE_HOME/velkarn"
listing | diff prefix-before.txt - || fail "the run changed the installed files"
grep -qF "$data/p-blend.dat: record" stderr.txt || fail "the layer list's warning does not name the installed file"
