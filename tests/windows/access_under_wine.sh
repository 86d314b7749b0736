#!/usr/bin/env bash
# The Windows window's names, tab stops and caret under Wine on Xvfb with
# openbox (dialog_access_test.exe prints "ok" or what failed).
# Usage: access_under_wine.sh DIALOG_ACCESS_TEST WINE
set -uo pipefail
test_exe=$1
wine=$2
wineserver=$(dirname "$wine")/wineserver
cd "$(dirname "$0")/../.."
. scripts/xvfb.sh
start_xvfb || exit 1
trap '"$wineserver" -k 2>/dev/null; stop_xvfb' EXIT
output=$(timeout 60 "$wine" "$test_exe" 2>/dev/null | tr -d '\r')
echo "$output"
[ "$output" = ok ]
