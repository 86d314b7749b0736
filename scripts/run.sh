#!/usr/bin/env bash
# Builds the program and starts it; arguments go to it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target proxcred-cli >/dev/null
exec build/default/cli/proxcred-cli "${@:---help}"
