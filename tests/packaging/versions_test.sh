#!/usr/bin/env bash
# Every program answers --version with its name and the project's version,
# and --help with its usage, on standard output with exit status 0, without a
# display: the window answers before its platform would start.
# Usage: versions_test.sh VERSION PROGRAM...
set -uo pipefail
version=$1
shift
failures=0
for program in "$@"; do
  name=$(basename "$program")
  for option in --version --help; do
    output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$option" 2>&1)
    status=$?
    case $option in
      --version) wanted="$name $version" ;;
      --help) wanted=$(grep -im1 '^usage:' <<<"$output") ;;
    esac
    if [ $status -ne 0 ] || [ -z "$wanted" ] || { [ $option = --version ] && [ "$output" != "$wanted" ]; }; then
      echo "FAIL: $name $option (exit $status): $output" | head -3
      failures=$((failures + 1))
    fi
  done
done
[ $failures -eq 0 ] && echo "versions and help: all $# programs answer"
exit $((failures > 0))
