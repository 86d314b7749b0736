#!/usr/bin/env bash
# The form's scenario suite through proxcred-formscript.exe under Wine: the
# same model, compiled by MinGW-w64, prints what the Linux build prints for
# every scenario, line for line (apart from the CR LF line ends), with the
# same exit status.
# Usage: scenarios_under_wine.sh LINUX_FORMSCRIPT WINDOWS_EXE WINE SCENARIO_DIR
set -uo pipefail
linux=$1
windows=$2
wine=$3
scenarios=$4
[ -x "$linux" ] || { echo "FAILED: no Linux build at $linux (build the default preset first)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
passed=0
for scenario in "$scenarios"/*.script; do
  name=$(basename "$scenario")
  # The commands alone: the expected lines ("> ") are the Linux tests' own.
  grep -v '^> ' "$scenario" >"$work/$name"
  "$linux" "$work/$name" >"$work/linux.out" 2>"$work/linux.err"
  linux_status=$?
  timeout 60 "$wine" "$windows" "Z:$(tr / '\\' <<<"$work/$name")" >"$work/windows.out" 2>"$work/windows.err"
  windows_status=$?
  tr -d '\r' <"$work/windows.out" >"$work/windows.lf"
  why=""
  [ "$linux_status" = "$windows_status" ] || why="exit status $windows_status, Linux $linux_status"
  if ! cmp -s "$work/linux.out" "$work/windows.lf"; then
    why="${why:+$why; }output differs: $(diff "$work/linux.out" "$work/windows.lf" | head -n 4 | tr '\n' ' ')"
  fi
  if [ -z "$why" ]; then passed=$((passed + 1)); else
    echo "FAILED: $name: $why"; failures=$((failures + 1)); fi
done
echo "$passed scenarios as on Linux, $failures differ"
[ "$passed" -gt 0 ] && [ "$failures" -eq 0 ]
