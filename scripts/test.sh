#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test in the normal
# build (and checks formatting and clang-tidy) and in the address+undefined
# sanitizer build (which also runs the fuzz targets briefly), then the web app
# in WebAssembly, then the Windows programs and installer under Wine, then the
# packages.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
for preset in default sanitize; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
  # The sources are checked once, on the default build's compile commands.
  if [ "$preset" = default ]; then
    scripts/check-architecture.sh
    scripts/lint.sh
  fi
done

# The core and the web app in WebAssembly, tested under node and in headless
# Chromium, some of it against the default build's programs. Before the
# Windows build and the packages, which carry its single-file page.
echo "== wasm build"
cmake --preset wasm >/dev/null
cmake --build --preset wasm
ctest --preset wasm -j2

# proxcred-cli.exe, cross-built with MinGW-w64 and tested under Wine (with its
# own prefix in the build folder) against the default build's output.
echo "== windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows
scripts/lint.sh --windows
ctest --preset windows -j2

# The Debian package from a release build, checked by lintian, installed and
# removed; the Windows zip's contents.
scripts/package.sh
