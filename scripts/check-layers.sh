#!/usr/bin/env bash
# The folders of src/ are floors, and includes only run down:
#   base < sim < render < timeline < program
# Prints every include between folders that runs up or sideways into an unknown folder,
# and exits 1 if there is one. With --arrows it also prints the count of includes between
# each pair of folders.
#   scripts/check-layers.sh [--arrows] [SRC_DIR]
set -euo pipefail
arrows_wanted=0
[ "${1:-}" = --arrows ] && { arrows_wanted=1; shift; }
cd "${1:-$(dirname "$0")/../src}"
floors=(base sim render timeline program)
floor_of() {
  local i
  for i in "${!floors[@]}"; do [ "${floors[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}
for dir in */; do
  [ "$(floor_of "${dir%/}")" -ge 0 ] || { echo "src/$dir is no floor: add it to ${0##*/}" >&2; exit 1; }
done
bad=0
arrows=()
while IFS=: read -r file include; do
  from=${file%%/*}
  to=${include%%/*}
  [ "$from" = "$to" ] && continue
  arrows+=("$from -> $to")
  if [ "$(floor_of "$to")" -lt 0 ] || [ "$(floor_of "$to")" -gt "$(floor_of "$from")" ]; then
    echo "upward include: src/$file includes \"$include\"" >&2
    bad=1
  fi
done < <(grep -rEo '^#include "[a-z_]+/[a-z_0-9]+\.h"' --include='*.h' --include='*.cpp' . |
         sed -E 's|^\./||; s|:#include "|:|; s|"$||')
if [ "$arrows_wanted" = 1 ] && [ "${#arrows[@]}" -gt 0 ]; then
  printf '%s\n' "${arrows[@]}" | sort | uniq -c
fi
exit "$bad"
