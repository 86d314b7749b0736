#!/usr/bin/env bash
# The window starts on every Qt platform, not only with an X connection:
# offscreen and minimal (no display at all), and Wayland (weston's headless
# desktop), each with the Escape filter, which needs X, left out. Each run
# waits until the form has loaded (its trace), then checks the program still
# runs, and ends it.
# Usage: platforms_test.sh PROXCRED
set -uo pipefail
proxcred=$1
cd "$(dirname "$0")/../.."
. scripts/weston.sh
work=$(mktemp -d)
trap 'stop_weston; rm -rf "$work"' EXIT
export PROXCRED_SERIAL_PORTS=""
unset DISPLAY

failures=0
# starts PLATFORM: the program loads its form on it and keeps running.
starts() {
  local platform=$1 trace="$work/trace-$1" why=""
  QT_QPA_PLATFORM=$platform PROXCRED_TRACE=$trace "$proxcred" >"$work/err-$1" 2>&1 &
  local pid=$! deadline=$((SECONDS + 20))
  until grep -q 'txtVersion.text="0"' "$trace" 2>/dev/null; do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      why="it ended with status $? before its form loaded: $(head -c 300 "$work/err-$1")"
      break
    fi
    [ "$SECONDS" -lt "$deadline" ] || { why="its form did not load within 20 s"; break; }
    sleep 0.05
  done
  # The window is shown right after the load, on the event loop's first turns.
  if [ -z "$why" ]; then
    kill -0 "$pid" 2>/dev/null || why="it ended after its form loaded"
  fi
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if [ -z "$why" ]; then echo "ok: $platform"; else
    echo "FAILED: $platform: $why"; failures=$((failures + 1)); fi
}

starts offscreen
starts minimal
if start_weston headless; then
  starts wayland
else
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ]
