#!/usr/bin/env bash
# proxcred-cli.exe read under Wine, through COM ports the Wine prefix
# declares, against proxcred-locksim (the Linux build) on pseudo-terminals:
# a card, --split, no card, the lock's error, a stale late answer refused, a
# port that does not exist, the simulator killed in the middle of a read, and
# Ctrl+C. Each answer, message and exit status is the one the Linux build
# gives. Wine lists a port only when its registry declares it before Wine
# starts, so the ports are declared first and the wineserver restarted.
# Then the COM port control is run against the serial port contract.
# Usage: read_under_wine.sh LOCKSIM WINDOWS_EXE WINE [CONTRACT_EXE]
set -uo pipefail
locksim=$1
exe=$2
wine=$3
contract=${4:-}
wineserver=$(dirname "$wine")/wineserver
[ -x "$locksim" ] || { echo "FAILED: no simulator at $locksim (build the default preset first)"; exit 1; }
work=$(mktemp -d)
sims=()
trap 'kill "${sims[@]}" 2>/dev/null; "$wineserver" -k 2>/dev/null; rm -rf "$work"' EXIT

# simulate NAME ARGS...: a simulated lock on a pseudo-terminal, declared as
# COM port NAME, logging the requests it gets to $work/NAME.log.
simulate() {
  local name=$1
  shift
  "$locksim" --link "$work/$name" --log "$work/$name.log" "$@" >/dev/null &
  sims+=($!)
  for _ in $(seq 100); do [ -e "$work/$name" ] && break; sleep 0.05; done
  "$wine" reg add 'HKLM\Software\Wine\Ports' /v "$name" /t REG_SZ /d "$(readlink -f "$work/$name")" \
    /f >/dev/null 2>&1
}
simulate COM5 --card 0000000600400002 --card 0000777777777777 --no-card --error 7 "reader jammed"
simulate COM6 --delay 800 --ignore-stop --card 0000000000000011 --card 0000000000000022
simulate COM7 --no-card
simulate COM12 --no-card
"$wineserver" -k 2>/dev/null

failures=0
passed=0
# expect NAME STATUS OUT ERR ARGS...: runs the exe with ARGS (Wine's own
# chatter on standard error, such as a hung-up terminal's object dump, is
# left out) and checks its exit status, output and messages.
expect() {
  local name=$1 status=$2 out=$3 err=$4
  shift 4
  timeout 60 "$wine" "$exe" "$@" >"$work/out" 2>"$work/err"
  local actual=$?
  local got_out got_err
  got_out=$(tr -d '\r' <"$work/out")
  got_err=$(tr -d '\r' <"$work/err" | grep -av '^0x\|^ \|^Wine\|^wine' || true)
  if [ "$actual" = "$status" ] && [ "$got_out" = "$out" ] && [ "$got_err" = "$err" ]; then
    passed=$((passed + 1))
  else
    echo "FAILED: $name: exit $actual (want $status), output '$got_out', messages '$got_err'"
    failures=$((failures + 1))
  fi
}
# The two requests a lock got last: a READ and the STOP for the same number.
stopped() {
  local last number
  last=$(tail -n 2 "$work/$1.log")
  number=$(head -n 1 <<<"$last" | sed -n 's/^READ //p')
  [ -n "$number" ] && [ "$last" = "READ $number"$'\n'"STOP $number" ]
}
check_stopped() {
  if stopped "$1"; then passed=$((passed + 1)); else
    echo "FAILED: $2: the lock got no STOP: $(tr '\n' ' ' <"$work/$1.log")"
    failures=$((failures + 1))
  fi
}

split_table=$("$(dirname "$locksim")/../cli/proxcred-cli" split 0000777777777777)
expect "a card" 0 "0000000600400002" "" read --port 5
expect "a card, split" 0 "0000777777777777"$'\n\n'"$split_table" "" read --port 5 --split
expect "no card" 1 "" "Timeout" read --port 5 --timeout 500
check_stopped COM5 "no card"
expect "the lock's error" 1 "" "reader jammed (error 7)" read --port 5
expect "a port that does not exist" 1 "" \
  "Error Opening Com Port (error 2: There is no serial device for port 9)" read --port 9

# The first read gives up before its answer comes; the answer arrives during
# the second read, which must take its own card, not the stale one.
expect "the read given up" 1 "" "Timeout" read --port 6 --timeout 300
expect "a stale late answer is refused" 0 "0000000000000022" "" read --port 6 --timeout 3000

# The simulator killed in the middle of a read: the read ends at once.
"$wine" "$exe" read --port 7 --timeout 5000 >"$work/out" 2>"$work/err" &
reader=$!
for _ in $(seq 100); do [ -s "$work/COM7.log" ] && break; sleep 0.05; done
{ kill -9 "${sims[2]}" && wait "${sims[2]}"; } 2>/dev/null
started=$SECONDS
wait "$reader"
status=$?
if [ "$status" = 1 ] && grep -aq "The serial device went away during the read (error 105)" "$work/err" &&
  [ $((SECONDS - started)) -lt 4 ]; then passed=$((passed + 1)); else
  echo "FAILED: a simulator killed mid-read: exit $status, $(grep -av '^0x\|^ ' "$work/err" | head -n 2)"
  failures=$((failures + 1))
fi

# Ctrl+C (SIGINT, which Wine gives the console program as CTRL_C_EVENT)
# cancels the read; the lock gets its STOP, and the exit status is 130.
"$wine" "$exe" read --port 12 --timeout 5000 >"$work/out" 2>"$work/err" &
reader=$!
for _ in $(seq 100); do [ -s "$work/COM12.log" ] && break; sleep 0.05; done
sleep 0.3
kill -INT "$reader"
wait "$reader"
status=$?
if [ "$status" = 130 ] && [ "$(tr -d '\r' <"$work/err")" = "Cancelled" ]; then passed=$((passed + 1)); else
  echo "FAILED: Ctrl+C: exit $status, $(head -c 200 "$work/err")"
  failures=$((failures + 1))
fi
sleep 0.2
check_stopped COM12 "Ctrl+C (COM12: ports above 9 are reached too)"

# The COM port control answers as every serial port control does: COM5 has
# a simulated lock, COM8 nothing.
if [ -n "$contract" ]; then
  if timeout 60 "$wine" "$contract" 5 8 >"$work/contract" 2>&1; then passed=$((passed + 1)); else
    echo "FAILED: the COM port control's contract:"
    grep -a -E "Failure|Expected|Which is|Value of|Actual|FAILED" "$work/contract" | head -n 20
    failures=$((failures + 1))
  fi
fi

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
