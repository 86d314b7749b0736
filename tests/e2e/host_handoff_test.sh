#!/usr/bin/env bash
# The host hand-off on a real X server and the real X11 clipboard, as a host
# uses it: put a preset on the clipboard, start proxcred, work the window, and
# read the reply from the clipboard after the program has ended.
# Usage: host_handoff_test.sh PROXCRED CLOSE_WINDOW
set -euo pipefail
proxcred=$1
close_window=$2
title="Proximity Credential Translator"

. "$(dirname "$0")/../../scripts/xvfb.sh"
start_xvfb
# No real serial device is probed: no ports at all.
export PROXCRED_SERIAL_PORTS=""
# A clipboard helper left behind ends with its X server.
trap 'kill $XVFB_PID 2>/dev/null || true' EXIT

failures=0
# run_case NAME PRESET EXPECTED ACTION...: ACTION runs with the window's id in $window.
run_case() {
  local name=$1 preset=$2 expected=$3
  shift 3
  printf '%s' "$preset" | xclip -selection clipboard 2>/dev/null
  "$proxcred" >/dev/null 2>&1 &
  local pid=$!
  window=$(window_of "$pid" "$title")
  # No window manager: the pointer entering the window gives it the keyboard,
  # so it comes from a corner of the screen that the window does not cover.
  xdotool mousemove 1279 799
  xdotool mousemove --window "$window" 300 60 2>/dev/null || {
    window=$(window_of "$pid" "$title")
    xdotool mousemove --window "$window" 300 60
  }
  sleep 0.3
  "$@"
  local status=0
  timeout 10 tail --pid="$pid" -f /dev/null || status=$?
  wait "$pid" || status=$?
  local reply
  reply=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
  if [ "$reply" = "$expected" ] && [ "$status" -eq 0 ]; then
    echo "ok: $name"
  else
    echo "FAILED: $name: clipboard '$reply', expected '$expected', exit status $status"
    failures=$((failures + 1))
  fi
}

press_enter_then_ok() { xdotool type --delay 20 1; xdotool key Return; sleep 0.2; xdotool key Return; }
press_escape() { xdotool key Escape; }
close_the_window() { "$close_window" "$window"; }

run_case "OK hands back the reply" "FC=12;CF=26;ZELF=F" "OK;0000000406000002;FC=12;CF=26;ZELF=F" \
  press_enter_then_ok
run_case "Exit hands back Cancel" "FC=12;CF=26;ZELF=F" "Cancel" press_escape
run_case "closing the window keeps the preset" "FC=12;CF=26;ZELF=F" "FC=12;CF=26;ZELF=F" close_the_window

echo "$((3 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
