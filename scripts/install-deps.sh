#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the demo needs.
# Idempotent: does nothing when all are present; never asks questions.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  freeglut3-dev libglew-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri mesa-utils
  libsdl2-dev libsdl2-image-dev libmpg123-dev libmp3lame-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool ffmpeg imagemagick fonts-dejavu-core
  clang libclang-rt-14-dev valgrind
)

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
