# A private X server for the sourcing script: start_xvfb [WIDTHxHEIGHT] starts
# Xvfb on a free display, exports DISPLAY and XVFB_PID, and waits until it
# answers. The caller kills XVFB_PID when it is done (stop_xvfb). Xvfb picks
# the display itself (-displayfd) and names it once it listens, so another
# test's server is never taken for this one. -noreset: by default the server
# resets when its last client leaves, and a client connecting meanwhile (a
# window manager or a program started right after the probe below) fails to
# open the display.
start_xvfb() {
  local size=${1:-1280x800} named number=""
  named=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$named" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 200); do
    [ -n "$number" ] || number=$(tr -d '[:space:]' <"$named")
    if [ -n "$number" ]; then
      export DISPLAY=":$number" XVFB_PID
      if timeout 2 xdotool getmouselocation >/dev/null 2>&1; then
        rm -f "$named"
        return 0
      fi
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  rm -f "$named"
  kill "$XVFB_PID" 2>/dev/null || true
  echo "no X display could be started" >&2
  return 1
}

# Ends the private X server and waits until it has gone, so that the next
# test starts with this one's display, socket and lock file cleaned up.
stop_xvfb() {
  kill "$XVFB_PID" 2>/dev/null || return 0
  wait "$XVFB_PID" 2>/dev/null || true
}

# The shown window of process PID titled TITLE, once it exists and answers;
# waits at most 10 s, and not at all once the process has ended.
window_of() {
  local pid=$1 title=$2 window deadline=$((SECONDS + 10))
  while [ "$SECONDS" -lt "$deadline" ] && kill -0 "$pid" 2>/dev/null; do
    window=$(timeout 2 xdotool search --onlyvisible --pid "$pid" --name "$title" 2>/dev/null | head -n 1 || true)
    if [ -n "$window" ] && timeout 2 xdotool getwindowname "$window" >/dev/null 2>&1; then
      echo "$window"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# For the scripts that run the window: builds it, starts a private X server
# that ends with the script, and lets the window probe no real serial device.
prepare_window_run() {
  scripts/install-deps.sh
  cmake --preset default >/dev/null
  cmake --build --preset default --target proxcred >/dev/null
  start_xvfb
  export PROXCRED_SERIAL_PORTS=""
  trap stop_xvfb EXIT
}

# Runs an X client command for at most 5 s: a tool that hangs on a stuck
# server or window must not hold up the script.
x() { timeout --kill-after=1 5 "$@"; }

# Waits at most SECONDS for the background process PID of this shell to end
# and sets EXIT_STATUS to its exit status; a process still running then is
# killed and EXIT_STATUS set to "running". (Not for $(...): a subshell cannot
# wait for its parent's children.)
wait_for_exit() {
  local pid=$1 seconds=$2
  EXIT_STATUS=0
  if ! timeout "$seconds" tail --pid="$pid" -f /dev/null; then
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    EXIT_STATUS=running
    return 0
  fi
  wait "$pid" 2>/dev/null || EXIT_STATUS=$?
}

# For the end-to-end tests: the window's title, a private X server, a work
# folder in $work, and no real serial device probed. The server, the folder
# and the processes listed in CLEANUP_PIDS go when the script ends (a
# clipboard helper left behind ends with its X server).
begin_window_test() {
  TITLE="Proximity Credential Translator"
  work=$(mktemp -d)
  CLEANUP_PIDS=""
  export PROXCRED_SERIAL_PORTS=""
  # The X11 platform on the private server, whatever the caller's session.
  export QT_QPA_PLATFORM=xcb
  unset WAYLAND_DISPLAY
  start_xvfb
  trap 'kill $CLEANUP_PIDS 2>/dev/null || true; stop_xvfb; rm -rf "$work"' EXIT
}

# Waits at most 5 s until WINDOW has the keyboard focus, so that keys sent to
# a program that is still starting are not lost.
wait_for_focus() {
  local window=$1 deadline=$((SECONDS + 5))
  while [ "$SECONDS" -lt "$deadline" ]; do
    [ "$(timeout 2 xdotool getwindowfocus 2>/dev/null)" = "$window" ] && return 0
    sleep 0.05
  done
  return 1
}

# Starts openbox on the private server and waits at most 10 s until it manages
# windows (it has set _NET_SUPPORTING_WM_CHECK on the root window): a window
# mapped while the window manager is still starting may never be shown.
# Adds its process to CLEANUP_PIDS.
start_window_manager() {
  openbox --sm-disable >"${work:-/tmp}/openbox.log" 2>&1 &
  CLEANUP_PIDS="$CLEANUP_PIDS $!"
  local deadline=$((SECONDS + 10))
  until timeout 2 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      echo "openbox did not start within 10 s: $(head -c 500 "${work:-/tmp}/openbox.log")" >&2
      return 1
    fi
    sleep 0.05
  done
}

# ImageMagick's import, for screenshots: installed when missing.
require_import() {
  command -v import >/dev/null && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq imagemagick >/dev/null
}
