#!/usr/bin/env bash
# Installs the Debian packages a task needs. Idempotent: does nothing when all are
# present; never asks questions. Tested on Debian 12 (bookworm); the names are Debian's
# unversioned ones, so a later release installs its own versions.
#   scripts/install-deps.sh           build and run the demo (scripts/demo.sh)
#   scripts/install-deps.sh offline   and render it offline under Xvfb into frames or a
#                                     video (make-video.sh, contact-sheet.sh, preview.sh)
#   scripts/install-deps.sh test      and build and run every test (scripts/test.sh)
#   scripts/install-deps.sh coverage  and measure the tests' line coverage (coverage.sh)
#   scripts/install-deps.sh package   build and check the Debian package (package.sh)
set -euo pipefail

demo=(
  cmake ninja-build g++ pkgconf
  libglut-dev libglew-dev libglu1-mesa-dev libgl-dev libgl1-mesa-dri
  libsdl2-dev libsdl2-image-dev libmpg123-dev libmp3lame-dev
)
offline=(xvfb xauth ffmpeg imagemagick fonts-dejavu-core apitrace)
tests=(libgtest-dev libbenchmark-dev xdotool clang libclang-rt-dev valgrind)
# cpack's Depends come from dpkg-shlibdeps (dpkg-dev), which finds the programs with file.
package=(dpkg-dev file lintian desktop-file-utils)

packages=("${demo[@]}")
case ${1:-demo} in
  demo) ;;
  offline) packages+=("${offline[@]}") ;;
  test) packages+=("${offline[@]}" "${tests[@]}") ;;
  coverage) packages+=("${offline[@]}" "${tests[@]}" gcovr) ;;
  package) packages+=("${package[@]}") ;;
  *) echo "usage: $0 [demo | offline | test | coverage | package]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
