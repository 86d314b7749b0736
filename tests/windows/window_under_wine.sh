#!/usr/bin/env bash
# proxcred.exe under Wine on Xvfb with openbox, started by a Windows host
# (test_host.exe: preset on the clipboard, CreateProcess, wait, read the
# clipboard), driven by the keyboard and checked through its trace and the
# host's clipboard, never through pixels: OK and Exit and closing, the
# mnemonics, Enter, a refused value's message box and the keyboard after it,
# Ctrl+Tab, the three kinds of edit, the format options as one group, the
# Com Port list (Escape and Enter in it open), Tab past the result boxes, and
# a lock read through a COM port the Wine prefix declares, with Escape
# cancelling it and a held Escape never pressing Exit.
# Usage: window_under_wine.sh PROXCRED_EXE TEST_HOST_EXE WINE LOCKSIM CLOSE_WINDOW
set -uo pipefail
exe=$1
host=$2
wine=$3
locksim=$4
close_window=$5
wineserver=$(dirname "$wine")/wineserver

. "$(dirname "$0")/../../scripts/xvfb.sh"
begin_window_test
start_window_manager || exit 1
export PROXCRED_TRACE="$work/trace"
# Ports 1 and 2 are the simulators' COM5 and COM6; no other port is probed
# (Wine maps COM1 to COM4 to the machine's own serial devices).
export PROXCRED_SERIAL_PORTS=COM5,COM6
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# A lock on COM5 for the read cases and one on COM6 for the list of ports,
# declared before Wine starts.
"$locksim" --link "$work/com5" --card 0000000600400002 --no-card --no-card --log "$work/com5.log" \
  >/dev/null &
CLEANUP_PIDS="$CLEANUP_PIDS $!"
"$locksim" --link "$work/com6" --card 0000000600400002 >/dev/null &
CLEANUP_PIDS="$CLEANUP_PIDS $!"
for port in com5 com6; do
  for _ in $(seq 100); do [ -e "$work/$port" ] && break; sleep 0.05; done
done
"$wineserver" -k 2>/dev/null
for port in COM5 COM6; do
  "$wine" reg add 'HKLM\Software\Wine\Ports' /v "$port" /t REG_SZ \
    /d "$(readlink -f "$work/${port,,}")" /f >/dev/null 2>&1
done
"$wineserver" -k 2>/dev/null
trap 'kill $CLEANUP_PIDS 2>/dev/null; "$wineserver" -k 2>/dev/null; stop_xvfb; rm -rf "$work"' EXIT

preset='FC=12;CF=26;ZELF=F'
failures=0
passed=0
# start [--no-pump]: the host starts the window; waits until it has the keyboard.
start() {
  : >"$work/trace"
  "$wine" "$host" "$@" "$preset" "$(winpath "$exe")" >"$work/reply" 2>/dev/null &
  host_pid=$!
  window=""
  for _ in $(seq 200); do
    window=$(x xdotool search --onlyvisible --name "Proximity Credential Translator" 2>/dev/null |
      head -n 1)
    [ -n "$window" ] && break
    sleep 0.05
  done
  [ -n "$window" ] && x xdotool windowactivate --sync "$window" >/dev/null 2>&1
  # Keys go where the X focus is: the form loaded and its window focused.
  wait_traced 'txtVersion.text="0"' && focus_on "$window"
}
# Waits at most 5 s until the keyboard focus is on WINDOW, or (focus_off)
# anywhere else: a message box that has opened. Keys sent before the focus
# moves would reach the window that had it.
focus_on() {
  local deadline=$((SECONDS + 5))
  until [ "$(x xdotool getwindowfocus 2>/dev/null)" = "$1" ]; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}
focus_off() {
  local deadline=$((SECONDS + 5)) now
  while now=$(x xdotool getwindowfocus 2>/dev/null) && { [ -z "$now" ] || [ "$now" = "$1" ]; }; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}
# Closes the message box that has opened with KEY, and waits until the
# keyboard is back on the window.
close_message() { focus_off "$window"; keys "$1"; focus_on "$window"; }
keys() { x xdotool key --delay 80 "$@" >/dev/null 2>&1; }
typed() { x xdotool type --delay 60 "$1" >/dev/null 2>&1; }
# The host's reply once the window has gone (at most 10 s).
reply() {
  local deadline=$((SECONDS + 10))
  while kill -0 "$host_pid" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
  if kill -0 "$host_pid" 2>/dev/null; then
    # The next case must not find this window: every Wine process goes.
    "$wineserver" -k 2>/dev/null
    echo "(still running)"
    return
  fi
  tr -d '\r' <"$work/reply"
}
traced() { grep -qF -- "$1" "$work/trace" 2>/dev/null; }
# Waits at most 5 s for TEXT in the trace.
wait_traced() {
  local deadline=$((SECONDS + 5))
  until traced "$1"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.1; done
}
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

start
typed 12345
keys Return Return                  # Enter computes and moves to OK; Enter presses OK
check "Enter, Enter gives the host OK" "OK;0000000406060163;$preset" "$(reply)"

start
typed 12345
keys Return alt+o                   # Alt+O, OK's mnemonic
check "Alt+O" "OK;0000000406060163;$preset" "$(reply)"

start
keys Escape
check "Escape is Exit" "Cancel" "$(reply)"

# A held Enter acts once: it computes and moves on to OK, and its repeats
# never press OK.
start
typed 12345
x xdotool keydown Return; sleep 2; x xdotool keyup Return
check "a held Enter never presses OK" "running" "$(kill -0 "$host_pid" 2>/dev/null && echo running)"
check_traced "a held Enter moves on to OK" "focus: cmdOK"
keys Escape
check "Exit after a held Enter" "Cancel" "$(reply)"

start --no-pump                     # a host blocked in WaitForSingleObject
typed 12345
keys Return Return
check "a host that does not pump its messages" "OK;0000000406060163;$preset" "$(reply)"

start
keys alt+x
check "Alt+X is Exit" "Cancel" "$(reply)"

start
x "$close_window" "$window" >/dev/null 2>&1
check "closing the window keeps the host's preset" "$preset" "$(reply)"

start
typed 70000
check_traced "a refused value's message" "message: Hotstamp 70000 is too large. 65535 is max."
close_message Return                # closes the message box; the keyboard is back
keys BackSpace
check_traced "the keyboard after the message box" 'txtBoxSerialNo.text="6553"'
keys Escape
check "Exit after the message box" "Cancel" "$(reply)"

start
keys ctrl+Tab                       # Split Data, the card data box focused
typed 0000000600400002
keys Tab space                      # Split Data
check_traced "Ctrl+Tab, typing and Split Data" 'txt26Num.text="1"'
keys shift+Tab Home Delete          # back in the card data box: an edit in place
check_traced "an edit in place" 'txtData.text="000000600400002"'
keys Home shift+End ctrl+v          # a paste over it all, cut to the box's 16 characters
check_traced "a paste" 'txtData.text="FC=12;CF=26;ZELF"'
keys ctrl+Tab Escape
check "Ctrl+Tab back and Exit" "Cancel" "$(reply)"

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
keys Tab Tab Tab alt+Down           # Split Data, Read Card, the list: open
sleep 0.5
keys Escape
sleep 0.5
check "Escape in the open list" "running" "$(kill -0 "$host_pid" 2>/dev/null && echo running)"
check_traced "the card data kept" 'txtData.text="0000000600400002"'
keys Escape
check "Escape with the list closed is Exit" "Cancel" "$(reply)"

# Enter in the open list chooses the port and closes the list: the next
# Escape is Exit.
start
keys ctrl+Tab Tab Tab Tab alt+Down
sleep 0.5
keys Down Return
check_traced "Enter chooses port 2" 'ComboComPort.text="2"'
keys Escape
check "Enter closes the list" "Cancel" "$(reply)"

# Back from the page's first box is Exit, past the result boxes, and round
# again.
start
keys ctrl+Tab shift+Tab
check_traced "Shift+Tab from the card data box to Exit" "focus: cmdCancel"
keys Tab
check_traced "Tab from Exit to the card data box" "focus: txtData"
keys Escape
check "Exit after going round" "Cancel" "$(reply)"

# A lock read by the keyboard: Tab, Tab to "Read Card From Lock", Space.
start
keys ctrl+Tab Tab Tab space
check_traced "a card read from the lock" 'txtData.text="0000000600400002"'
keys shift+Tab space                # Split Data
check_traced "the card read, split" 'txt26Num.text="1"'
keys Tab space                      # a read that gets no card: its wait limit
deadline=$((SECONDS + 12))
until traced "message: Timeout" || [ "$SECONDS" -ge "$deadline" ]; do sleep 0.2; done
check_traced "no card: the wait limit" "message: Timeout"
close_message Return                # closes the message; the button has the focus again
: >"$work/trace"
keys space                          # another read that gets no card
wait_traced "cmdGetCard.caption=\"press 'ESC' to cancel\"" || true
x xdotool keydown Escape; sleep 2; x xdotool keyup Escape
check_traced "Escape cancels the read" "message: Cancelled"
check "a held Escape never exits" "running" "$(kill -0 "$host_pid" 2>/dev/null && echo running)"
# The message box, unless a repeat has closed it, then Exit.
[ "$(x xdotool getwindowfocus 2>/dev/null)" = "$window" ] || close_message Escape
keys Escape
check "Exit after the read" "Cancel" "$(reply)"

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
