#!/usr/bin/env bash
# Builds the Release program and its Debian package (installing what is missing), then
# prints the package's control information and checks it with lintian, which fails the
# script on an error. The package lands in build/ as velkarn_VERSION_ARCH.deb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh" package
cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release
cd "$root/build"
rm -f velkarn_*.deb
cpack -G DEB
deb=$(echo velkarn_*.deb)
dpkg-deb --info "$deb"
echo "lintian $deb:"
lintian --info "$deb"
