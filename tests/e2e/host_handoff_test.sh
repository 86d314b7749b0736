#!/usr/bin/env bash
# The host hand-off on a real X server and the real X11 clipboard, as a host
# uses it: put a preset on the clipboard, start proxcred, work the window, and
# read the reply from the clipboard after the program has ended. Every wait
# is bounded: a case that fails says why and the next one still runs.
# Usage: host_handoff_test.sh PROXCRED CLOSE_WINDOW
set -euo pipefail
proxcred=$1
close_window=$2

. "$(dirname "$0")/../../scripts/xvfb.sh"
begin_window_test

failures=0
# run_case NAME PRESET EXPECTED ACTION...: ACTION runs with the window's id in $window.
run_case() {
  local name=$1 preset=$2 expected=$3 why=""
  shift 3
  printf '%s' "$preset" | x xclip -selection clipboard 2>/dev/null ||
    why="the preset could not be put on the clipboard"
  "$proxcred" >/dev/null 2>"$work/stderr" &
  local pid=$!
  if [ -z "$why" ] && ! window=$(window_of "$pid" "$TITLE"); then
    why="no window within 10 s"
  fi
  if [ -z "$why" ]; then
    # No window manager: the pointer entering the window gives it the
    # keyboard, so it comes from a corner the window does not cover.
    x xdotool mousemove 1279 799 mousemove --window "$window" 300 60 ||
      why="the pointer could not be moved into the window"
    wait_for_focus "$window" || why="the window did not get the keyboard within 5 s"
    sleep 0.3
  fi
  if [ -z "$why" ]; then "$@" || why="the operator's action failed"; fi
  local status reply
  wait_for_exit "$pid" 10
  status=$EXIT_STATUS
  reply=$(x xclip -o -selection clipboard 2>/dev/null || true)
  if [ -z "$why" ] && [ "$status" = running ]; then why="the program did not end within 10 s"; fi
  if [ -z "$why" ] && [ "$status" != 0 ]; then
    why="exit status $status: $(grep -m 1 -E 'ERROR|error|Error' "$work/stderr" || head -n 1 "$work/stderr")"
  fi
  if [ -z "$why" ] && [ "$reply" != "$expected" ]; then
    why="clipboard '$reply', expected '$expected'"
  fi
  if [ -z "$why" ]; then
    echo "ok: $name"
  else
    echo "FAILED: $name: $why"
    failures=$((failures + 1))
  fi
}

press_enter_then_ok() {
  x xdotool type --delay 20 1 && x xdotool key Return && sleep 0.2 && x xdotool key Return
}
press_escape() { x xdotool key Escape; }
close_the_window() { x "$close_window" "$window"; }

run_case "OK hands back the reply" "FC=12;CF=26;ZELF=F" "OK;0000000406000002;FC=12;CF=26;ZELF=F" \
  press_enter_then_ok
run_case "Exit hands back Cancel" "FC=12;CF=26;ZELF=F" "Cancel" press_escape
run_case "closing the window keeps the preset" "FC=12;CF=26;ZELF=F" "FC=12;CF=26;ZELF=F" close_the_window

echo "$((3 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
