#!/usr/bin/env bash
# Refreshes the web app's screenshots in docs/ (each page at 360 and 1280
# pixels wide) from the browser test's run in the wasm build.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset wasm >/dev/null
ctest --preset wasm -R web_in_chromium >/dev/null
cp build/wasm/screenshots/web-*.png docs/
ls docs/web-*.png
