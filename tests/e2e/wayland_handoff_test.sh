#!/usr/bin/env bash
# The host hand-off on a Wayland desktop (weston, with XWayland as Debian's
# desktops have it): a Wayland host puts the preset on the clipboard
# (wl-copy), starts proxcred in a Wayland session, and reads the reply
# (wl-paste) after the program has ended. proxcred runs through XWayland by
# itself; the keys go to its X window. weston runs on a private X server,
# whose input gives it a seat: without one (its headless backend) a Wayland
# desktop has no clipboard at all.
# Usage: wayland_handoff_test.sh PROXCRED
set -uo pipefail
proxcred=$1
cd "$(dirname "$0")/../.."
. scripts/xvfb.sh
. scripts/weston.sh
begin_window_test
trap 'kill $CLEANUP_PIDS 2>/dev/null; stop_weston; stop_xvfb; rm -rf "$work"' EXIT
start_weston x11 || exit 1
unset QT_QPA_PLATFORM
export XDG_SESSION_TYPE=wayland

preset='FC=12;CF=26;ZELF=F'
# Waits at most 5 s until COMMAND prints the preset: wl-copy serves it from a
# process of its own, and XWayland passes it across, each in its own time.
sees_preset() {
  local deadline=$((SECONDS + 5))
  until [ "$(timeout 2 "$@" 2>/dev/null)" = "$preset" ]; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

failures=0
# run_case NAME EXPECTED KEYS...: the preset on the clipboard, the program
# started, KEYS sent to its window one by one, the reply read after it ended.
run_case() {
  local name=$1 expected=$2 why="" window
  shift 2
  printf '%s' "$preset" | timeout 5 wl-copy || why="wl-copy could not set the preset"
  sees_preset wl-paste --no-newline || why="the Wayland clipboard does not hold the preset"
  sees_preset env DISPLAY="$XWAYLAND_DISPLAY" xclip -o -selection clipboard ||
    why="XWayland's clipboard does not hold the preset"
  DISPLAY=$XWAYLAND_DISPLAY PROXCRED_TRACE="$work/trace" "$proxcred" >/dev/null 2>"$work/stderr" &
  local pid=$!
  if [ -z "$why" ] && ! window=$(DISPLAY=$XWAYLAND_DISPLAY window_of "$pid" "$TITLE"); then
    why="no window on XWayland within 10 s: $(head -c 300 "$work/stderr")"
  fi
  for key in "$@"; do
    [ -z "$why" ] || break
    DISPLAY=$XWAYLAND_DISPLAY x xdotool key --window "$window" "$key" || why="key $key not sent"
  done
  wait_for_exit "$pid" 10
  [ -z "$why" ] && [ "$EXIT_STATUS" != 0 ] && why="exit status $EXIT_STATUS"
  local reply
  reply=$(timeout 5 wl-paste --no-newline 2>/dev/null)
  [ -z "$why" ] && [ "$reply" != "$expected" ] && why="the host read '$reply', expected '$expected'"
  if [ -z "$why" ]; then echo "ok: $name"; else
    echo "FAILED: $name: $why"; failures=$((failures + 1))
    echo "the window's trace:"; tail -n 20 "$work/trace"; fi
}

run_case "OK hands back the reply" "OK;0000000406000002;FC=12;CF=26;ZELF=F" 1 Return Return
run_case "Exit hands back Cancel" "Cancel" Escape
echo "$((2 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
