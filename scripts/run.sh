#!/usr/bin/env bash
# Builds the program and starts the window; arguments go to it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target proxcred proxcred-cli >/dev/null
exec build/default/gui/proxcred "$@"
