# Shared by the scripts that render the demo offline: builds the Release program and
# makes a private copy of the run directory with the chosen picture size, so the size
# chosen here does not change the configuration of build/run. Sourced with $root set.
#   prepare_offline_run WIDTH HEIGHT   (sets $build and $work, and changes into $work)
# VELKARN_BUILD_DIR chooses another build directory (default build/, made as a Release build).
prepare_offline_run() {
  build=${VELKARN_BUILD_DIR:-$root/build}
  "$root/scripts/install-deps.sh" offline
  # A build directory that exists keeps its own configuration (the tests pass theirs).
  [ -f "$build/CMakeCache.txt" ] || cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target velkarn >/dev/null
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp -rL "$build/run/dat" "$work/dat"
  rm -f "$work/dat/p-particlemap.dat"
  ln -s "$build/run/Orvalin-Velkarn.mp3" "$work/Orvalin-Velkarn.mp3"
  echo "$1 $2 window" > "$work/QRV-Velkarn-config.dat"
  cd "$work"
}
