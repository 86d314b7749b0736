#!/usr/bin/env bash
# The window from the keyboard alone, on a real X server with openbox and
# locks on two ports: the format options as one group the arrow keys choose
# in, Escape and Enter in the open Com Port list, Ctrl+Tab from OK, and Tab
# round a page past the result boxes. Checked through the window's trace
# (its focus and changes) and the host's reply on the clipboard.
# Usage: keyboard_test.sh PROXCRED LOCKSIM
set -uo pipefail
proxcred=$1
locksim=$2

. "$(dirname "$0")/../../scripts/xvfb.sh"
begin_window_test
start_window_manager || exit 1
for port in lock1 lock2; do
  "$locksim" --link "$work/$port" --card 0000000600400002 >/dev/null &
  CLEANUP_PIDS="$CLEANUP_PIDS $!"
done
for port in lock1 lock2; do
  for _ in $(seq 100); do [ -e "$work/$port" ] && break; sleep 0.05; done
done
export PROXCRED_SERIAL_PORTS="$work/lock1,$work/lock2" PROXCRED_TRACE="$work/trace"

preset='FC=12;CF=26;ZELF=F'
failures=0
passed=0
keys() { x xdotool key --delay 80 "$@" >/dev/null 2>&1; }
typed() { x xdotool type --delay 60 "$1" >/dev/null 2>&1; }
traced() { grep -qF -- "$1" "$work/trace" 2>/dev/null; }
# Waits at most 5 s for TEXT in the trace.
wait_traced() {
  local deadline=$((SECONDS + 5))
  until traced "$1"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.1; done
}
# The window, started with the preset on the clipboard, once it has the
# keyboard and its focus is in the hotstamp box.
start() {
  : >"$work/trace"
  printf '%s' "$preset" | x xclip -selection clipboard 2>/dev/null
  "$proxcred" >/dev/null 2>"$work/stderr" &
  pid=$!
  window=$(window_of "$pid" "$TITLE") || return 1
  x xdotool windowactivate --sync "$window" >/dev/null 2>&1
  wait_for_focus "$window" && wait_traced "focus: txtBoxSerialNo"
}
# The host's reply once the program has ended (at most 10 s).
reply() {
  wait_for_exit "$pid" 10
  if [ "$EXIT_STATUS" = running ]; then echo "(still running)"; return; fi
  x xclip -o -selection clipboard 2>/dev/null
}
running() { kill -0 "$pid" 2>/dev/null && echo running; }
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then passed=$((passed + 1)); else
    echo "FAILED: $1: '$3', expected '$2'"
    failures=$((failures + 1))
  fi
}
check_traced() {  # check_traced NAME TEXT
  if wait_traced "$2"; then passed=$((passed + 1)); else
    echo "FAILED: $1: no '$2' in the trace: $(tail -n 3 "$work/trace" | tr '\n' ' ')"
    failures=$((failures + 1))
  fi
}

# The format options are one group: Tab reaches the chosen one, the arrow
# keys choose among them.
start
typed 12345
keys Tab Tab Tab Tab Tab Tab        # past the boxes (Version is off), buttons, check boxes
check_traced "Tab reaches the chosen format" "focus: opt26Bit"
keys Down Down                      # 34 Bit, 35 Bit
check_traced "Down chooses the next format" 'txtBoxProxData.text="0000600140060162"'
: >"$work/trace"
keys Up                             # back to 34 Bit
check_traced "Up chooses the one before" 'txtBoxProxData.text="0000200006060163"'
keys Escape
check "Exit from the options" "Cancel" "$(reply)"

# Escape closes the open Com Port list and nothing more; the next one exits.
start
keys ctrl+Tab
typed 0000000600400002
keys Tab Tab Tab                    # Split Data, Read Card, the list
check_traced "Tab reaches the list" "focus: ComboComPort"
keys alt+Down
sleep 0.5
keys Escape
sleep 0.5
check "Escape in the open list" "running" "$(running)"
keys Escape
check "Escape with the list closed is Exit" "Cancel" "$(reply)"

# Enter in the open list chooses the port and closes the list: the next
# Escape is Exit.
start
keys ctrl+Tab Tab Tab Tab
check_traced "Tab reaches the list" "focus: ComboComPort"
keys alt+Down
sleep 0.5
keys Down Return
check_traced "Enter chooses port 2" 'ComboComPort.text="2"'
keys Escape
check "Enter closes the list" "Cancel" "$(reply)"

# Ctrl+Tab turns the page from OK, where Enter leaves the focus: Shift+Tab
# then reaches the Split Data instructions.
start
typed 12345
keys Return
check_traced "Enter moves to OK" "focus: cmdOK"
keys ctrl+Tab shift+Tab
check_traced "Ctrl+Tab from OK" "focus: Text1"
keys Escape
check "Exit after Ctrl+Tab" "Cancel" "$(reply)"

# Tab goes round the Split Data page, through Exit and back, never into a
# result box.
start
keys ctrl+Tab
wait_traced "focus: txtData"
: >"$work/trace"
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab
check_traced "Tab reaches Exit" "focus: cmdCancel"
check_traced "Tab goes round to the card data box" "focus: txtData"
check "no result box visited" "" \
  "$(grep -E '^focus: txt[0-9A-Za-z]*(Num|Fac|Ver|Number)$' "$work/trace" | tr '\n' ' ')"
keys Escape
check "Exit after going round" "Cancel" "$(reply)"

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
