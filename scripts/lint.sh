#!/usr/bin/env bash
# Checks the formatting (clang-format) and runs clang-tidy over the project's
# own sources, on the compile commands of the default build. Exits non-zero
# on any finding. --fix-format rewrites the files instead of checking them.
# --windows runs clang-tidy over the Windows build's own sources instead, on
# its compile commands, with the MinGW-w64 headers.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix-format" ]; then
  clang-format -i "${sources[@]}"
  exit 0
fi

if [ "${1:-}" = "--windows" ]; then
  echo "== clang-tidy, Windows build"
  [ -f build/windows/compile_commands.json ] || { echo "build the windows preset first" >&2; exit 1; }
  # The MinGW-w64 C++ and C headers; GCC's own intrinsics headers are left to
  # clang's.
  args=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc++)
  while read -r dir; do
    [[ $dir == */gcc/*/include || $dir == */gcc/*/include-fixed ]] && continue
    args+=(--extra-arg=-isystem --extra-arg="$(realpath "$dir")")
  done < <(x86_64-w64-mingw32-g++-posix -E -x c++ - -v </dev/null 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search list/{//!p}' | sed 's/^ //')
  mapfile -t windows < <(git ls-files 'win32_gui/*.cpp' 'win32_serial/*.cpp' \
    cli/read_windows.cpp cli/open_file.cpp cli/main.cpp)
  failed=0
  for file in "${windows[@]}"; do
    clang-tidy --quiet -p build/windows "${args[@]}" "$file" >build/windows/clang-tidy.log 2>&1 ||
      { grep -E "error:|warning:" build/windows/clang-tidy.log; failed=1; }
  done
  [ "$failed" -eq 0 ] && echo "clean"
  exit "$failed"
fi

echo "== clang-format"
clang-format --dry-run --Werror "${sources[@]}"

echo "== clang-tidy"
[ -f build/default/compile_commands.json ] || cmake --preset default >/dev/null
# The libraries and programs; the tests follow GoogleTest's idioms instead.
run-clang-tidy -quiet -j "$(nproc)" -p build/default \
  "$(pwd)/(bits|formats|split|preset|lock_protocol|lock_reader|form|serial|fakes|formscript|cli|gui|locksim|wiegand|em4100|text|json_text|window_layout)/" \
  > build/clang-tidy.log 2>&1 || {
  grep -E "error:|warning:" build/clang-tidy.log | grep -v "warnings generated" || true
  echo "clang-tidy found problems (build/clang-tidy.log)" >&2
  exit 1
}
echo "clean"
