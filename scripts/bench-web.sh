#!/usr/bin/env bash
# The web app's numbers (docs/performance.md): the wasm build's site in
# headless Chromium, with no network but loopback, beside the default build's
# native benchmarks of the same calls.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${PROXCRED_OWN_NETWORK:-}" ]; then
  cmake --build --preset wasm >/dev/null
  cmake --build --preset default --target proxcred_bench >/dev/null
  export PROXCRED_OWN_NETWORK=1
  if [ "$(id -u)" -eq 0 ]; then exec unshare -n "$0" "$@"; else exec unshare -rn "$0" "$@"; fi
fi
ip link set lo up
HOME=$(mktemp -d)
export HOME
trap 'rm -rf "$HOME"' EXIT
/usr/bin/python3 bench/web_bench.py build/wasm/site build/default/bench/proxcred_bench
