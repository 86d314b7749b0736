#!/usr/bin/env bash
# Times proxcred-cli.exe under Wine against the Linux build on the same
# files of LINES lines (default 1,000,000): encode --csv, split --json and
# wiegand decode --json. Reports each run's time and peak memory and the
# Windows/Linux ratio, and checks that the two outputs are the same bytes
# apart from the CR LF line ends. A batch with refused rows exits 1 by
# design; only a differing output is a failed run. With
# BEFORE=path/to/an/older/proxcred-cli.exe, that one is timed too. Needs the
# default and windows builds (scripts/test.sh makes both).
set -euo pipefail
cd "$(dirname "$0")/.."

lines=${1:-1000000}
export WINEPREFIX=$PWD/build/windows/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
linux=build/default/cli/proxcred-cli
windows=build/windows/cli/proxcred-cli.exe
work=$(mktemp -d)
# One wineserver for every run, so that none pays for starting Wine.
/usr/lib/wine/wineserver -p
/usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 || true
trap '/usr/lib/wine/wineserver -k; rm -rf "$work"' EXIT
awk -v n="$lines" 'BEGIN {
  srand(2026); split("26 34 35 35X 36X 37X 37 Proxif Casi", keys, " ")
  print "format,hotstamp,facility,version"
  for (i = 0; i < n; i++)
    printf "%s,%d,%d,%d\r\n", keys[int(rand() * 9) + 1], int(rand() * 70000), int(rand() * 300), int(rand() * 8)
}' >"$work/rows.csv"
awk -v n="$lines" 'BEGIN { srand(7); for (i = 0; i < n; i++) printf "%016o\n", int(rand() * 2^48) }' \
  >"$work/cards.txt"
awk -v n="$lines" 'BEGIN { srand(26); for (i = 0; i < n; i++) printf "%X\n", 2^37 + 2^26 + int(rand() * 2^26) }' \
  >"$work/frames.txt"

# seconds PROGRAM INPUT ARGS...: runs it, its output in $work/out; prints
# "TIME PEAK" (seconds and KB), whatever its exit status.
seconds() {
  local program=$1 input=$2
  shift 2
  /usr/bin/time -q -f "%e %M" -o "$work/time" "$program" "$@" <"$input" >"$work/out" 2>/dev/null || true
  cat "$work/time"
}

failed=0
run() {  # run NAME INPUT ARGS...
  local name=$1 input=$2
  shift 2
  read -r linux_s _ < <(seconds "$linux" "$input" "$@")
  cp "$work/out" "$work/linux.out"
  read -r windows_s windows_kb < <(seconds /usr/lib/wine/wine64 "$input" "$windows" "$@")
  local same="same output"
  tr -d '\r' <"$work/out" | cmp -s - "$work/linux.out" || { same="OUTPUTS DIFFER"; failed=1; }
  local before=""
  if [ -n "${BEFORE:-}" ]; then
    read -r before_s _ < <(seconds /usr/lib/wine/wine64 "$input" "$BEFORE" "$@")
    before=", before ${before_s} s"
  fi
  printf '%s, %s lines: Wine %s s (%s KB peak)%s, Linux %s s, ratio %s; %s\n' "$name" "$lines" \
    "$windows_s" "$windows_kb" "$before" "$linux_s" \
    "$(awk -v w="$windows_s" -v l="$linux_s" 'BEGIN { printf "%.1f", w / (l > 0 ? l : 0.01) }')" "$same"
}

run "encode --csv" "$work/rows.csv" encode --csv -
run "split --json" "$work/cards.txt" split --json
run "wiegand decode --in hid --json" "$work/frames.txt" wiegand decode --in hid --json
exit "$failed"
