#!/usr/bin/env bash
# Runs a command with an X display: the current one, or a private Xvfb started for it.
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
for number in $(seq 90 140); do
  [ -e "/tmp/.X${number}-lock" ] && continue
  Xvfb ":${number}" -screen 0 1920x1200x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb=$!
  # Up to a minute for its socket: a busy machine only makes it slower.
  for _ in $(seq 600); do
    [ -e "/tmp/.X11-unix/X${number}" ] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$xvfb" 2>/dev/null && [ -e "/tmp/.X11-unix/X${number}" ]; then
    trap 'kill $xvfb 2>/dev/null || true' EXIT
    export DISPLAY=":${number}"
    "$@"
    exit $?
  fi
done
echo "with-display: could not start Xvfb" >&2
exit 1
