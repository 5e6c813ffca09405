#!/usr/bin/env bash
# Runs a command with an X display: the current one, or a private Xvfb started for it.
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
# The server picks a free display number itself and writes it to fd 3 once it listens:
# two of these scripts started at once never share (or wait on) one server.
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$number_file"' EXIT
# Up to a minute for it: a busy machine only makes it slower.
for _ in $(seq 600); do
  [ -s "$number_file" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.1
done
number=$(head -n 1 "$number_file")
if [ -z "$number" ] || ! kill -0 "$xvfb" 2>/dev/null; then
  echo "with-display: could not start Xvfb" >&2
  exit 1
fi
export DISPLAY=":${number}"
"$@"
