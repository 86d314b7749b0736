#!/usr/bin/env bash
# A screenshot of the Windows window (proxcred.exe under Wine on Xvfb with
# openbox), into docs/, and its start-up time with the wineserver already
# running. Run after scripts/test.sh (which builds the Windows stage).
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/xvfb.sh
require_import
begin_window_test
start_window_manager
export WINEPREFIX=$PWD/build/windows/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
trap 'kill $CLEANUP_PIDS 2>/dev/null; /usr/lib/wine/wineserver -k 2>/dev/null; stop_xvfb; rm -rf "$work"' EXIT
/usr/lib/wine/wineserver -p 2>/dev/null  # a running wineserver, as on a desktop in use

shown() {  # the window of the program just started, once shown
  local window=""
  for _ in $(seq 400); do
    window=$(timeout 2 xdotool search --onlyvisible --name "Proximity Credential Translator" 2>/dev/null | head -n 1)
    [ -n "$window" ] && { echo "$window"; return 0; }
    sleep 0.01
  done
  return 1
}

# Start-up: launch to window shown, five times.
for run in 1 2 3 4 5; do
  start=$(date +%s%N)
  "$wine" build/windows/win32_gui/proxcred.exe >/dev/null 2>&1 &
  window=$(shown)
  echo "start-up $run: $((($(date +%s%N) - start) / 1000000)) ms"
  xdotool windowactivate --sync "$window" >/dev/null 2>&1
  sleep 0.3
  xdotool key Escape
  # The next start must not find this window.
  while timeout 2 xdotool search --onlyvisible --name "Proximity Credential Translator" >/dev/null 2>&1; do
    sleep 0.05
  done
done

printf 'FC=12;CF=26;ZELF=F' | xclip -selection clipboard 2>/dev/null
"$wine" build/windows/win32_gui/proxcred.exe >/dev/null 2>&1 &
window=$(shown)
xdotool windowactivate --sync "$window"
sleep 0.5
xdotool type --delay 40 12345
sleep 0.5
import -window "$window" docs/screenshot-windows.png
xdotool key Escape
echo "docs/screenshot-windows.png; proxcred.exe: $(stat -c %s build/windows/win32_gui/proxcred.exe) bytes"
