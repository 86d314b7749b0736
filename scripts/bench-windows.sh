#!/usr/bin/env bash
# Encodes a CSV of LINES rows (default 1,000,000) with proxcred-cli.exe under
# Wine and with the Linux build, reports the time and peak memory of the
# Windows run, and checks the two outputs are the same bytes apart from line
# ends. Needs the default and windows builds (scripts/test.sh makes both).
set -euo pipefail
cd "$(dirname "$0")/.."

lines=${1:-1000000}
export WINEPREFIX=$PWD/build/windows/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
awk -v n="$lines" 'BEGIN {
  srand(2026); split("26 34 35 35X 36X 37X 37 Proxif Casi", keys, " ")
  print "format,hotstamp,facility,version"
  for (i = 0; i < n; i++)
    printf "%s,%d,%d,%d\r\n", keys[int(rand() * 9) + 1], int(rand() * 70000), int(rand() * 300), int(rand() * 8)
}' >"$work/rows.csv"

build/default/cli/proxcred-cli encode --csv - <"$work/rows.csv" >"$work/linux.csv" || true
/usr/bin/time -f "%e s  %M KB peak" -o "$work/time" \
  /usr/lib/wine/wine64 build/windows/cli/proxcred-cli.exe encode --csv - <"$work/rows.csv" >"$work/windows.csv" || true
echo "encode --csv under Wine, $lines rows: $(cat "$work/time")"
if tr -d '\r' <"$work/windows.csv" | cmp -s - "$work/linux.csv"; then
  echo "same output as the Linux build, apart from CR LF line ends"
else
  echo "OUTPUTS DIFFER"
  exit 1
fi
