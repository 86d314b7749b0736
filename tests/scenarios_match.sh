#!/usr/bin/env bash
# The form's scenario suite through another build of proxcred-formscript
# (the Windows one under Wine, the WebAssembly one under node): the same
# model, compiled by another compiler for another system, prints what the
# Linux build prints for every scenario, line for line (apart from CR LF line
# ends), with the same exit status.
# Usage: scenarios_match.sh [--windows-paths] LINUX_FORMSCRIPT SCENARIO_DIR COMMAND...
#   COMMAND... runs the other build with the script's path after it;
#   --windows-paths gives that path as Wine's Z: drive sees it.
set -uo pipefail
windows_paths=""
if [ "${1:-}" = --windows-paths ]; then windows_paths=yes; shift; fi
linux=$1
scenarios=$2
shift 2
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
  path=$work/$name
  [ -z "$windows_paths" ] || path="Z:$(tr / '\\' <<<"$path")"
  timeout 60 "$@" "$path" >"$work/other.out" 2>"$work/other.err"
  other_status=$?
  tr -d '\r' <"$work/other.out" >"$work/other.lf"
  why=""
  [ "$linux_status" = "$other_status" ] || why="exit status $other_status, Linux $linux_status"
  if ! cmp -s "$work/linux.out" "$work/other.lf"; then
    why="${why:+$why; }output differs: $(diff "$work/linux.out" "$work/other.lf" | head -n 4 | tr '\n' ' ')"
  fi
  if [ -z "$why" ]; then passed=$((passed + 1)); else
    echo "FAILED: $name: $why"; failures=$((failures + 1)); fi
done
echo "$passed scenarios as on Linux, $failures differ"
[ "$passed" -gt 0 ] && [ "$failures" -eq 0 ]
