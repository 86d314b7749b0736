#!/usr/bin/env bash
# Reading a card from a (simulated) lock in the real window on Xvfb, driven by
# the keyboard along the form's fixed tab order: Ctrl+Tab to "Split Data",
# Tab to "Read Card From Lock", Space, Shift+Tab to "Split Data", Space. The
# results are read from the window's trace, each waited for at most 5 s.
# Then a read that gets no card, cancelled with Escape. Every wait is bounded.
# Usage: lock_read_test.sh PROXCRED LOCKSIM
set -euo pipefail
proxcred=$1
locksim=$2

. "$(dirname "$0")/../../scripts/xvfb.sh"
begin_window_test
"$locksim" --link "$work/lock" --card 0000000600400002 --no-card >/dev/null &
CLEANUP_PIDS=$!
export PROXCRED_SERIAL_PORTS="$work/lock" PROXCRED_TRACE="$work/trace"
for _ in $(seq 100); do [ -e "$work/lock" ] && break; sleep 0.05; done

printf 'FC=1;CF=26;ZELF=F' | x xclip -selection clipboard 2>/dev/null
"$proxcred" >/dev/null 2>"$work/stderr" &
pid=$!
window=$(window_of "$pid" "$TITLE") || {
  echo "FAILED: no window within 10 s: $(head -n 3 "$work/stderr")"
  exit 1
}
# No window manager: the pointer entering the window gives it the keyboard.
x xdotool mousemove 1279 799 mousemove --window "$window" 300 60
wait_for_focus "$window" || echo "the window did not get the keyboard within 5 s"
sleep 0.3
keys() { x xdotool key --delay 100 "$@" || true; sleep 0.3; }
# The last text the trace shows for a text box.
box_text() {
  grep "^$1\.text=" "$work/trace" 2>/dev/null | tail -n 1 | sed 's/^[^=]*="\(.*\)"$/\1/'
}

failures=0
# check NAME EXPECTED COMMAND...: runs COMMAND until it prints EXPECTED, for at
# most 5 s, so that a slow machine is waited for and a wrong result still fails.
check() {
  local name=$1 expected=$2 actual deadline=$((SECONDS + 5))
  shift 2
  while actual=$("$@"); [ "$actual" != "$expected" ] && [ "$SECONDS" -lt "$deadline" ]; do
    sleep 0.1
  done
  if [ "$actual" = "$expected" ]; then
    echo "ok: $name"
  else
    echo "FAILED: $name: '$actual', expected '$expected'"
    failures=$((failures + 1))
  fi
}
last_message() { grep '^message: ' "$work/trace" 2>/dev/null | tail -n 1; }
still_running() { kill -0 "$pid" 2>/dev/null && echo open; }

keys ctrl+Tab Tab Tab space   # Split Data page; card data, Split Data, Read Card From Lock
check "card data read from the lock" "0000000600400002" box_text txtData
keys shift+Tab space          # Split Data
check "26-bit hotstamp" "1" box_text txt26Num
check "26-bit facility code" "1" box_text txt26Fac

keys Tab space                # a read that gets no card
keys Escape
check "Escape cancels the read" "message: Cancelled" last_message
# The message box is the other window with the title; the pointer gives it the keyboard.
box=$(x xdotool search --onlyvisible --pid "$pid" --name "$TITLE" | grep -vx "$window" | head -n 1 || true)
[ -n "$box" ] && x xdotool mousemove --window "$box" 5 5 || true
sleep 0.2
keys Return                   # close the message box
x xdotool mousemove --window "$window" 300 60 || true
check "the window is still open" "open" still_running
# Without a window manager the keyboard may not come back to the window after
# the message box: the program is ended if Escape does not reach it.
keys Escape                   # Exit
wait_for_exit "$pid" 5

echo "$((5 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
