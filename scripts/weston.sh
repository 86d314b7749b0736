# A private Wayland desktop for the sourcing script: start_weston BACKEND
# starts weston (headless, or x11 on the X server in $DISPLAY, which gives it
# a seat and so a clipboard) with XWayland, on a runtime folder of its own;
# exports WAYLAND_DISPLAY, WESTON_PID and XWAYLAND_DISPLAY (the X display
# weston serves to X11 programs, started on first use), and waits until it
# answers. stop_weston ends it.
start_weston() {
  local backend=$1
  export XDG_RUNTIME_DIR
  XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
  export WAYLAND_DISPLAY=proxcred-test
  weston --backend="$backend-backend.so" --socket="$WAYLAND_DISPLAY" --idle-time=0 \
    --width=1100 --height=700 --xwayland --no-config >"$XDG_RUNTIME_DIR/weston.log" 2>&1 &
  WESTON_PID=$!
  local deadline=$((SECONDS + 15))
  XWAYLAND_DISPLAY=""
  while [ "$SECONDS" -lt "$deadline" ] && kill -0 "$WESTON_PID" 2>/dev/null; do
    XWAYLAND_DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' \
      "$XDG_RUNTIME_DIR/weston.log")
    if [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && [ -n "$XWAYLAND_DISPLAY" ]; then
      export XWAYLAND_DISPLAY WESTON_PID
      return 0
    fi
    sleep 0.05
  done
  echo "weston did not start within 15 s: $(tail -c 500 "$XDG_RUNTIME_DIR/weston.log")" >&2
  return 1
}

stop_weston() {
  [ -n "${WESTON_PID:-}" ] || return 0
  kill "$WESTON_PID" 2>/dev/null || true
  wait "$WESTON_PID" 2>/dev/null || true
  rm -rf "$XDG_RUNTIME_DIR"
}
