# What the test scripts share: checks that print "ok: ..." or "FAILED: ..." and remember a
# failure in FAILED, a wait for a condition, and a private X display with or without a window
# manager. Source it; do not run it. The sourcing script's clean-up calls stop_display.

FAILED=0
fail() { echo "FAILED: $*"; FAILED=1; }
pass() { echo "ok: $*"; }
expect() {  # expect WHAT EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then pass "$1"; else fail "$1"; printf '  expected: %s\n  actual:   %s\n' "$2" "$3"; fi
}
wait_for() {  # wait_for SECONDS COMMAND...: until the command succeeds
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -ge $deadline ] && return 1; sleep 0.2; done
}

XVFB_PID=""
OPENBOX_PID=""
# start_display DIR [openbox]: an Xvfb display of our own (DISPLAY names it), with openbox on it
# when asked; their logs go to DIR.
start_display() {
  exec 3>"$1/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$1/xvfb.log" 2>&1 &
  XVFB_PID=$!
  exec 3>&-
  wait_for 10 test -s "$1/display" || { echo "FAILED: Xvfb did not start"; cat "$1/xvfb.log"; exit 1; }
  export DISPLAY=":$(cat "$1/display")"
  if [ "${2:-}" = openbox ]; then
    openbox >"$1/openbox.log" 2>&1 &
    OPENBOX_PID=$!
  fi
}
stop_display() {
  [ -n "$OPENBOX_PID" ] && kill "$OPENBOX_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}
