#!/usr/bin/env bash
# proxcred-cli.exe under Wine against the Linux build, command by command:
# the same output bytes apart from line ends (the Windows build ends its lines
# in CR LF, and this checks it does), the same messages and exit codes.
# Windows specifics: paths with drive letters and backslashes, a CSV file a
# Windows spreadsheet saved (CR LF, byte-order mark), standard input from a
# pipe and from a file, and write errors.
# Usage: compare_cli.sh LINUX_CLI WINDOWS_EXE WINE
set -uo pipefail
linux=$1
windows=$2
wine=$3
[ -x "$linux" ] || { echo "FAILED: no Linux build at $linux (build the default preset first)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Wine maps drive Z: to the root of the file system.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

printf '\xef\xbb\xbfformat,hotstamp,facility,version\r\n26,12345,123,0\r\n26,70000,1,0\r\n37,1,0,\r\n' >"$work/rows.csv"
printf '0000000600400002\n0000777777777777\r\n12 8\n' >"$work/cards.txt"
printf '2006EC0C86\n200020002\nxyz\n' >"$work/frames.txt"
printf 'Filetype: Flipper RFID key\r\nVersion: 1\r\nKey type: H10301\r\nData: 96 27 20\r\n' >"$work/key.rfid"
printf 'card,FORMAT,facility\r\n1603,H10306,118\r\n' >"$work/enrol.csv"
printf '06837899\n0F0368568\n' >"$work/dez8.txt"
printf 'EA63EAAA4\r\nEA648BAD4\r\n61EE3085D\r\nEA63EAAA4\r\n' >"$work/site-reads.txt"
printf 'format,facility,card\r\nH10301,118,1603-1605\r\nH10306,1,1\r\nN10002,1,1\r\n' >"$work/batch.csv"
printf '2006EC0C86\n=1+1\n200020002\n' >"$work/to-import.txt"
cat >"$work/site.json" <<'JSON'
{"formats": [{"name": "Site12", "bits": 12, "fields": {"card": {"start": 1, "length": 10}},
  "parity": [{"bit": 0, "parity": "even", "covers": ["1-10"]}, {"bit": 11, "parity": "odd", "covers": ["1-10"]}]}]}
JSON

# A folder whose name lies outside every ANSI code page: the arguments must
# reach the program as Unicode.
mkdir -p "$work/dir/日本"
cp "$work/rows.csv" "$work/site.json" "$work/dir/日本/"

failures=0
passed=0
# check NAME INPUT_FILE ARGS...: ARGS may hold @rows.csv etc., a file of the
# work folder, given to each build in its own path form.
check() {
  local name=$1 input=$2
  shift 2
  local linux_args=() windows_args=()
  for arg in "$@"; do
    if [[ $arg == @* ]]; then
      linux_args+=("$work/${arg#@}")
      windows_args+=("$(winpath "$work/${arg#@}")")
    else
      linux_args+=("$arg")
      windows_args+=("$arg")
    fi
  done
  "$linux" "${linux_args[@]}" <"$input" >"$work/l.out" 2>"$work/l.err"
  local linux_status=$?
  timeout 60 "$wine" "$windows" "${windows_args[@]}" <"$input" >"$work/w.out" 2>"$work/w.err"
  local windows_status=$?
  local why=""
  [ "$linux_status" = "$windows_status" ] || why="exit status $windows_status, Linux $linux_status"
  if [ -s "$work/w.out" ] && grep -qv $'\r$' "$work/w.out"; then why="${why:+$why; }a line does not end in CR LF"; fi
  tr -d '\r' <"$work/w.out" >"$work/w.lf"
  tr -d '\r' <"$work/w.err" >"$work/w.errlf"
  cmp -s "$work/l.out" "$work/w.lf" || why="${why:+$why; }output differs: $(diff "$work/l.out" "$work/w.lf" | head -n 3 | tr '\n' ' ')"
  cmp -s "$work/l.err" "$work/w.errlf" || why="${why:+$why; }messages differ: $(diff "$work/l.err" "$work/w.errlf" | head -n 3 | tr '\n' ' ')"
  if [ -z "$why" ]; then
    passed=$((passed + 1))
  else
    echo "FAILED: $name: $why"
    failures=$((failures + 1))
  fi
}

none=/dev/null
check "formats" $none formats
check "encode with a refusal" $none encode -f 26 -F 123 12345 70000 abc
check "encode --csv from a Windows path" $none encode --csv @rows.csv
check "encode --csv from standard input, a file" "$work/rows.csv" encode --csv -
check "split arguments" $none split 0000000600400002 9
check "split --json from standard input" "$work/cards.txt" split --json
check "wiegand list --json" $none wiegand list --json
check "wiegand encode hid" $none wiegand encode -w H10301 --fc 118 --cn 1603 --out hid
check "wiegand encode refused" $none wiegand encode -w H10301 --fc 300 --cn 1
check "wiegand decode --json" "$work/frames.txt" wiegand decode --in hid --json
check "wiegand --formats from a Windows path" $none wiegand encode --formats @site.json -w Site12 --cn 5
check "encode --csv from a Unicode path" $none encode --csv @dir/日本/rows.csv
check "wiegand --formats from a Unicode path" $none wiegand encode --formats @dir/日本/site.json -w Site12 --cn 5
check "a usage error" $none encode -f
check "wiegand encode into every format" $none wiegand encode --fc 118 --cn 1603 --out pacs
check "wiegand encode a Flipper key file" $none wiegand encode -w H10304 --fc 1234 --cn 56789 --out flipper
check "wiegand decode a Flipper key file (its CR LF lines)" "$work/key.rfid" wiegand decode --in flipper --json
check "wiegand decode fccn --json" $none wiegand decode --in fccn --json 118:01603
check "wiegand encode --csv by the header's names" $none wiegand encode --csv @enrol.csv --out hid
check "wiegand identify, two facility codes" $none wiegand identify --bits 37 @site-reads.txt
check "wiegand identify --json from standard input" "$work/site-reads.txt" wiegand identify --bits 37 --json
check "wiegand encode a range with an offset" $none wiegand encode -w H10301 --fc 118 --cn 1603-1605 --offset 2 --out hid
check "wiegand encode --csv with a range and a duplicate" "$work/batch.csv" wiegand encode --csv - --out hid
check "wiegand decode --csv, formulas guarded" "$work/to-import.txt" wiegand decode --in hid --csv
check "wiegand list --layout" $none wiegand list --layout H10304
check "em, every form" $none em 0F0368568B
check "em from DEZ 8, as JSON" "$work/dez8.txt" em --in dez8 --json

# A folder named as a file: the same status and reason (the paths differ).
timeout 60 "$wine" "$windows" encode --csv "$(winpath "$work/dir")" >/dev/null 2>"$work/w.err"
status=$?
if [ "$status" = 2 ] && tr -d '\r' <"$work/w.err" | grep -q ": Is a directory$"; then
  passed=$((passed + 1))
else
  echo "FAILED: a folder named as the CSV: exit $status, $(head -c 200 "$work/w.err")"
  failures=$((failures + 1))
fi

# Standard input from a pipe.
printf '0000000600400002\n' | "$linux" split >"$work/l.out" 2>&1
printf '0000000600400002\n' | timeout 60 "$wine" "$windows" split 2>&1 | tr -d '\r' >"$work/w.lf"
if cmp -s "$work/l.out" "$work/w.lf"; then passed=$((passed + 1)); else
  echo "FAILED: split from a pipe"; failures=$((failures + 1)); fi

# A write that fails is reported, not passed for success.
timeout 60 "$wine" "$windows" formats >/dev/full 2>"$work/w.err"
status=$?
if [ "$status" = 1 ] && grep -q "cannot write the output" "$work/w.err"; then passed=$((passed + 1)); else
  echo "FAILED: a failed write: exit status $status, $(head -c 200 "$work/w.err")"; failures=$((failures + 1)); fi

# read, where no port has a device: the same message and status (reads
# from a lock are tested under Wine in read_under_wine.sh).
PROXCRED_SERIAL_PORTS="" check "read without a device" $none read --port 9 --timeout 500

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
