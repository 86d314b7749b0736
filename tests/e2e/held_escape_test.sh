#!/usr/bin/env bash
# Escape held through a lock read, as an operator does, with a real window
# manager (openbox) and a busy machine (two busy loops, as a build beside the
# tests): the first press cancels the read ("Cancelled"), and none of the
# key's repeats may press Exit; and a held Enter never presses OK. Real key
# events (XTEST: the X server repeats the held key itself), several runs in a
# row, each with a fresh program.
# Usage: held_escape_test.sh PROXCRED LOCKSIM [RUNS]
set -euo pipefail
proxcred=$1
locksim=$2
runs=${3:-3}

. "$(dirname "$0")/../../scripts/xvfb.sh"
begin_window_test
start_window_manager
"$locksim" --link "$work/lock" --no-card >/dev/null &
CLEANUP_PIDS="$CLEANUP_PIDS $!"
# The load starts once the first window is up: it is about the keys' timing,
# and a cold start under it may take longer than the wait for a window.
load_started=""
start_load() {
  [ -z "$load_started" ] || return 0
  load_started=yes
  for _ in 1 2; do
    timeout 300 sh -c 'while :; do :; done' &
    CLEANUP_PIDS="$CLEANUP_PIDS $!"
  done
}
export PROXCRED_SERIAL_PORTS="$work/lock" PROXCRED_TRACE="$work/trace"
for _ in $(seq 100); do [ -e "$work/lock" ] && break; sleep 0.05; done

preset='FC=1;CF=26;ZELF=F'
failures=0
# Waits at most 10 s for TEXT in the trace.
traced() {
  local deadline=$((SECONDS + 10))
  until grep -qF "$1" "$work/trace" 2>/dev/null; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

for run in $(seq "$runs"); do
  : >"$work/trace"
  printf '%s' "$preset" | x xclip -selection clipboard 2>/dev/null
  "$proxcred" >/dev/null 2>"$work/stderr" &
  pid=$!
  window=$(window_of "$pid" "$TITLE") || {
    echo "FAILED: run $run: no window within 10 s: $(head -n 3 "$work/stderr")"
    failures=$((failures + 1))
    continue
  }
  start_load
  x xdotool windowactivate --sync "$window" || true
  # Split Data page, then Tab along the tab order to "Read Card From Lock".
  x xdotool key --delay 150 ctrl+Tab Tab Tab space || true
  traced "cmdGetCard.caption=\"press 'ESC' to cancel\"" || true   # the read waits
  sleep 0.5
  x xdotool keydown Escape || true
  sleep 3
  x xdotool keyup Escape || true
  sleep 1.5
  why=""
  traced "message: Cancelled" || why="the read was not cancelled"
  kill -0 "$pid" 2>/dev/null || why="${why:+$why; }the program ended"
  clipboard=$(x xclip -o -selection clipboard 2>/dev/null || true)
  [ "$clipboard" = "$preset" ] || why="${why:+$why; }the host got '$clipboard'"
  if [ -z "$why" ]; then echo "ok: run $run"; else
    echo "FAILED: run $run: $why"
    failures=$((failures + 1))
  fi
  kill "$pid" 2>/dev/null || true
  wait_for_exit "$pid" 5
done

# Enter held as the window comes up (a host started by a held Enter): the
# first press may move the focus on to OK, but no repeat may press OK and
# hand the host an answer nobody gave.
: >"$work/trace"
printf '%s' "$preset" | x xclip -selection clipboard 2>/dev/null
"$proxcred" >/dev/null 2>"$work/stderr" &
pid=$!
why=""
if window=$(window_of "$pid" "$TITLE"); then
  start_load
  x xdotool windowactivate --sync "$window" || true
  x xdotool keydown Return || true
  sleep 3
  x xdotool keyup Return || true
  sleep 1
  kill -0 "$pid" 2>/dev/null || why="the program ended"
  clipboard=$(x xclip -o -selection clipboard 2>/dev/null || true)
  [ "$clipboard" = "$preset" ] || why="${why:+$why; }the host got '$clipboard'"
else
  why="no window within 10 s: $(head -n 3 "$work/stderr")"
fi
if [ -z "$why" ]; then echo "ok: held Enter"; else
  echo "FAILED: held Enter: $why"
  failures=$((failures + 1))
fi
kill "$pid" 2>/dev/null || true
wait_for_exit "$pid" 5

echo "$((runs + 1 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
