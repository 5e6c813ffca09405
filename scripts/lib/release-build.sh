# Shared by the scripts that build before they render or measure: installs a set of Debian
# packages (install-deps.sh), makes the build directory a Release build (the "release" preset)
# when it has no configuration yet, and builds the targets named. Sourced with $root set.
#   build_release_targets DEPS TARGET...   (sets $build)
# VELKARN_BUILD_DIR chooses another build directory (default build/).
build_release_targets() {
  build=${VELKARN_BUILD_DIR:-$root/build}
  "$root/scripts/install-deps.sh" "$1"
  # A build directory that exists keeps its own configuration (the tests pass theirs).
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$root" --preset release -B "$build" >/dev/null
  cmake --build "$build" --target "${@:2}" >/dev/null
}
