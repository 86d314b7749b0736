#!/usr/bin/env bash
# The Windows window's scaling under Wine on Xvfb: at Wine's default DPI
# setting (96), and with the setting changed to 144 (LogPixels, restored
# afterwards), each time also through WM_DPICHANGED to other DPIs.
# Usage: dpi_under_wine.sh DIALOG_DPI_TEST WINE
set -uo pipefail
test_exe=$1
wine=$2
wineserver=$(dirname "$wine")/wineserver
cd "$(dirname "$0")/../.."
. scripts/xvfb.sh
start_xvfb || exit 1
setting='HKCU\Control Panel\Desktop'
restore() {
  "$wine" reg delete "$setting" /v LogPixels /f >/dev/null 2>&1
  "$wineserver" -k 2>/dev/null
  stop_xvfb
}
trap restore EXIT

failures=0
for dpi in 96 144; do
  "$wineserver" -k 2>/dev/null
  if [ "$dpi" != 96 ]; then
    "$wine" reg add "$setting" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    "$wineserver" -k 2>/dev/null
  fi
  output=$(timeout 60 "$wine" "$test_exe" "$dpi" 2>/dev/null | tr -d '\r')
  if [ "$output" = ok ]; then echo "ok: DPI setting $dpi"; else
    echo "FAILED: DPI setting $dpi:"
    echo "$output"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ]
