#!/usr/bin/env bash
# Checks the formatting (clang-format) and runs clang-tidy over the project's
# own sources, on the compile commands of the default build. Exits non-zero
# on any finding. --fix-format rewrites the files instead of checking them.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix-format" ]; then
  clang-format -i "${sources[@]}"
  exit 0
fi

echo "== clang-format"
clang-format --dry-run --Werror "${sources[@]}"

echo "== clang-tidy"
[ -f build/default/compile_commands.json ] || cmake --preset default >/dev/null
# The libraries and programs; the tests follow GoogleTest's idioms instead.
run-clang-tidy -quiet -j "$(nproc)" -p build/default \
  "$(pwd)/(bits|formats|split|preset|lock_protocol|lock_reader|form|serial|fakes|formscript|cli|gui|locksim|wiegand|em4100)/" \
  > build/clang-tidy.log 2>&1 || {
  grep -E "error:|warning:" build/clang-tidy.log | grep -v "warnings generated" || true
  echo "clang-tidy found problems (build/clang-tidy.log)" >&2
  exit 1
}
echo "clean"
