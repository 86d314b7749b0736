#!/usr/bin/env bash
# The web app in headless Chromium inside a network namespace of its own with
# only loopback up: the page can reach nothing but the test's own server.
# Usage: browser_test.sh SITE_DIR SINGLE_HTML SCREENSHOT_DIR
set -euo pipefail
if [ -z "${PROXCRED_OWN_NETWORK:-}" ]; then
  export PROXCRED_OWN_NETWORK=1
  # As root a namespace of its own; otherwise inside a user namespace too.
  if [ "$(id -u)" -eq 0 ]; then exec unshare -n "$0" "$@"; else exec unshare -rn "$0" "$@"; fi
fi
ip link set lo up
mkdir -p "$3"
# Chromium keeps its profile and caches in a home of the test's own.
HOME=$(mktemp -d)
export HOME
trap 'rm -rf "$HOME"' EXIT
exec /usr/bin/python3 "$(dirname "$0")/browser_test.py" "$@"
