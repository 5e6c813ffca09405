# Shared by the scripts that render the demo offline: builds the Release program and
# makes a private copy of the run directory with the chosen picture size, so the size
# chosen here does not change the configuration of build/run. Sourced with $root set.
#   prepare_offline_run WIDTH HEIGHT   (sets $build and $work, and changes into $work)
# VELKARN_BUILD_DIR chooses another build directory (default build/, made as a Release build).
source "$root/scripts/lib/release-build.sh"

prepare_offline_run() {
  build_release_targets offline velkarn
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cp -rL "$build/run/dat" "$work/dat"
  rm -f "$work/dat/p-particlemap.dat"
  ln -s "$build/run/Orvalin-Velkarn.mp3" "$work/Orvalin-Velkarn.mp3"
  echo "$1 $2 window" > "$work/QRV-Velkarn-config.dat"
  cd "$work"
}
