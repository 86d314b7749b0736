#!/usr/bin/env bash
# The window through the Linux accessibility bus (AT-SPI), as a screen reader
# meets it, on a private X server with openbox and a private D-Bus session
# (which starts the accessibility bus on demand): the names and roles of
# every control on both pages, and after Split Data the result boxes read by
# their names. A lock on a port, so that the port list has an entry (which
# is not its name). screen_reader_check.py does the asking.
# Usage: screen_reader_test.sh PROXCRED LOCKSIM
set -uo pipefail
proxcred=$1
locksim=$2
here=$(dirname "$0")
# A private session bus, ended with this script.
if [ -z "${SCREEN_READER_TEST_BUS:-}" ]; then
  export SCREEN_READER_TEST_BUS=1
  exec dbus-run-session -- "$0" "$@" 2>&1
fi

. "$here/../../scripts/xvfb.sh"
begin_window_test
start_window_manager || exit 1
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$locksim" --link "$work/lock" --no-card >/dev/null &
CLEANUP_PIDS="$CLEANUP_PIDS $!"
for _ in $(seq 100); do [ -e "$work/lock" ] && break; sleep 0.05; done
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 PROXCRED_SERIAL_PORTS="$work/lock"
check() { /usr/bin/python3 "$here/screen_reader_check.py" "$@"; }

failures=0
printf 'FC=1;CF=26;ZELF=F' | x xclip -selection clipboard 2>/dev/null
"$proxcred" >/dev/null 2>"$work/stderr" &
pid=$!
CLEANUP_PIDS="$CLEANUP_PIDS $pid"
if ! window=$(window_of "$pid" "$TITLE"); then
  echo "FAILED: no window within 10 s: $(head -n 3 "$work/stderr")"
  exit 1
fi
check names || failures=$((failures + 1))

# Split Data from the keyboard, then the results by name.
x xdotool windowactivate --sync "$window" >/dev/null 2>&1
wait_for_focus "$window"
x xdotool key --delay 80 ctrl+Tab >/dev/null 2>&1
x xdotool type --delay 40 0000000600400002 >/dev/null 2>&1
x xdotool key --delay 80 Tab space >/dev/null 2>&1
check value "26 Bit, Hotstamp No." 1 || failures=$((failures + 1))
check value "34 Bit, Hotstamp No." "Not 34 Bit" || failures=$((failures + 1))
check value "Casi, Hotstamp No." 100794370 || failures=$((failures + 1))

[ "$failures" -eq 0 ] && echo "ok"
[ "$failures" -eq 0 ]
