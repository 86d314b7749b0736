#!/usr/bin/env bash
# Start-up of the window under Xvfb: time from launch until the window is
# shown, and resident memory once it is up. Usage: scripts/measure-startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}

. scripts/xvfb.sh
prepare_window_run
printf 'FC=12;CF=26;ZELF=F' | xclip -selection clipboard 2>/dev/null

times=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  build/default/gui/proxcred >/dev/null 2>&1 &
  pid=$!
  # xdotool's own --sync polls only twice a second: poll here instead.
  window=""
  until [ -n "$window" ]; do
    window=$(xdotool search --onlyvisible --pid "$pid" --name "Proximity Credential Translator" 2>/dev/null | head -n 1 || true)
  done
  shown=$(date +%s%N)
  times+=($(((shown - start) / 1000000)))
  sleep 0.3
  rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
  xdotool mousemove 1279 799 mousemove --window "$window" 300 60 key Escape
  wait "$pid"
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(echo "$sorted" | awk -v n="$runs" 'NR == int((n + 1) / 2)')
echo "start-up to window shown: median ${median} ms over $runs runs (fastest $(echo "$sorted" | head -n 1) ms, slowest $(echo "$sorted" | tail -n 1) ms)"
echo "resident memory with the window up: $((rss / 1024)) MB"
