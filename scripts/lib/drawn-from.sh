# Which commit a picture of the demo was drawn from, said by the script that drew it and
# kept in drawn-from.txt beside the picture. Sourced with $root set.
#   drawn_from          prints the commit checked out (12 hex digits), with "-dirty" when
#                       files that make the picture (anything but docs/ and the README)
#                       differ from it; "unknown" outside a git checkout
#   note_drawn_from OUT COMMIT
#                       records "NAME COMMIT DATE" for OUT in drawn-from.txt beside it,
#                       replacing its earlier line, and says so

drawn_from() {
  if ! git -C "$root" rev-parse --verify -q HEAD >/dev/null 2>&1; then
    echo unknown
    return
  fi
  local commit
  commit=$(git -C "$root" rev-parse --short=12 HEAD)
  if [ -n "$(git -C "$root" status --porcelain --untracked-files=no -- . ':(exclude)docs' ':(exclude)README.md')" ]; then
    commit="$commit-dirty"
  fi
  echo "$commit"
}

note_drawn_from() {
  local out=$1 commit=$2
  local list name
  list="$(dirname "$out")/drawn-from.txt"
  name=$(basename "$out")
  {
    [ -f "$list" ] && awk -v n="$name" '$1 != n' "$list"
    echo "$name $commit $(date -u +%Y-%m-%d)"
  } | sort > "$list.new"
  mv "$list.new" "$list"
  echo "$out: drawn from commit $commit (noted in $list)"
}
