#!/usr/bin/env bash
# Reading a card from a (simulated) lock in the real window on Xvfb: "Read
# Card From Lock", then "Split Data", and the 26-bit results read back through
# the clipboard; then a read that gets no card, cancelled with Escape.
# Usage: lock_read_test.sh PROXCRED LOCKSIM
# The clicks are at the window's own coordinates of its controls.
set -euo pipefail
proxcred=$1
locksim=$2
title="Proximity Credential Translator"
work=$(mktemp -d)

. "$(dirname "$0")/../../scripts/xvfb.sh"
start_xvfb
"$locksim" --link "$work/lock" --card 0000000600400002 --no-card >/dev/null &
sim=$!
# A clipboard helper left behind ends with its X server.
trap 'kill $sim $XVFB_PID 2>/dev/null || true; rm -rf "$work"' EXIT
export PROXCRED_SERIAL_PORTS="$work/lock" PROXCRED_TRACE="$work/trace"
for _ in $(seq 100); do [ -e "$work/lock" ] && break; sleep 0.05; done

printf 'FC=1;CF=26;ZELF=F' | x xclip -selection clipboard 2>/dev/null
"$proxcred" >/dev/null 2>"$work/stderr" &
pid=$!
window=$(window_of "$pid" "$title") || {
  echo "FAILED: no window within 10 s: $(head -n 3 "$work/stderr")"
  exit 1
}
x xdotool mousemove 1279 799 mousemove --window "$window" 300 60
sleep 0.3
click() { x xdotool mousemove --window "$window" "$1" "$2" click 1 || true; sleep "${3:-0.2}"; }
# The text of the box at x y, through the clipboard.
box_text() {
  click "$1" "$2"
  x xdotool key ctrl+a ctrl+c || true
  sleep 0.2
  x xclip -o -selection clipboard 2>/dev/null || true
}

failures=0
check() {
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAILED: $1: '$2', expected '$3'"; failures=$((failures + 1)); fi
}

click 138 22          # the "Split Data" page
click 400 85 1.0      # Read Card From Lock
click 289 85          # Split Data
check "card data read from the lock" "$(box_text 165 85)" "0000000600400002"
check "26-bit hotstamp" "$(box_text 165 193)" "1"
check "26-bit facility code" "$(box_text 165 221)" "1"

click 400 85 0.5      # a read that gets no card
x xdotool key Escape || true
sleep 0.5
check "Escape cancels the read" "$(tail -n 1 "$work/trace" 2>/dev/null)" "message: Cancelled"
# The message box is the other window with the title; the pointer gives it the keyboard.
box=$(x xdotool search --onlyvisible --pid "$pid" --name "$title" | grep -vx "$window" | head -n 1 || true)
[ -n "$box" ] && x xdotool mousemove --window "$box" 5 5 || true
sleep 0.2
x xdotool key Return || true   # close the message box
sleep 0.3
x xdotool mousemove --window "$window" 300 60 || true
check "the window is still open" "$(kill -0 $pid 2>/dev/null && echo open)" "open"
# Without a window manager the keyboard may not come back to the window after
# the message box: the program is ended if Escape does not reach it.
x xdotool key Escape || true   # Exit
wait_for_exit "$pid" 5

echo "$((5 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
