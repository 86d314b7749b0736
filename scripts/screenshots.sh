#!/usr/bin/env bash
# Screenshots of both pages under Xvfb, into docs/. Needs Xvfb, xdotool and
# ImageMagick's import (installed when missing).
set -euo pipefail
cd "$(dirname "$0")/.."

command -v import >/dev/null || {
  sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq imagemagick >/dev/null
}
. scripts/xvfb.sh
prepare_window_run

printf 'FC=12;CF=26;ZELF=F' | xclip -selection clipboard 2>/dev/null
build/default/gui/proxcred >/dev/null 2>&1 &
window=$(window_of $! "Proximity Credential Translator")
xdotool mousemove 1279 799 mousemove --window "$window" 300 60
sleep 0.3
xdotool type --delay 30 12345
xdotool key Return
sleep 0.3
import -window "$window" docs/screenshot-data-input.png

# The "Split Data" tab, then the card data box.
xdotool mousemove --window "$window" 138 22 click 1
sleep 0.2
xdotool mousemove --window "$window" 165 85 click 1
xdotool type --delay 20 0000000600400002
xdotool key Tab Return
sleep 0.3
import -window "$window" docs/screenshot-split-data.png
xdotool key Escape
echo "docs/screenshot-data-input.png docs/screenshot-split-data.png"
