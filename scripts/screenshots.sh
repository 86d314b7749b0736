#!/usr/bin/env bash
# Screenshots of both pages under Xvfb, into docs/. Needs Xvfb, xdotool and
# ImageMagick's import (installed when missing).
set -euo pipefail
cd "$(dirname "$0")/.."

. scripts/xvfb.sh
require_import
prepare_window_run

printf 'FC=12;CF=26;ZELF=F' | xclip -selection clipboard 2>/dev/null
build/default/gui/proxcred >/dev/null 2>&1 &
window=$(window_of $! "Proximity Credential Translator")
xdotool mousemove 1279 799 mousemove --window "$window" 300 60
sleep 0.3
# The prox data follows every keystroke; the focus stays in the hotstamp box,
# inside the pages, for Ctrl+Tab below.
xdotool type --delay 30 12345
sleep 0.3
import -window "$window" docs/screenshot-data-input.png

# Along the fixed tab order: Ctrl+Tab shows "Split Data" with the card data
# box focused; Tab reaches the "Split Data" button.
xdotool key --delay 100 ctrl+Tab
sleep 0.2
xdotool type --delay 20 0000000600400002
xdotool key Tab space
sleep 0.3
import -window "$window" docs/screenshot-split-data.png
xdotool key Escape
echo "docs/screenshot-data-input.png docs/screenshot-split-data.png"
