# Starts what the Windows programs need and stops it again when the calling
# script exits: an Xvfb display when none is set, and a warm wineserver.
# Sourced by test.sh and run.sh after env.sh.

QUORVA_XVFB_PID=""
QUORVA_OWN_WINESERVER=""

quorva_stop_session() {
  # A server that was already running belongs to whoever started it.
  if [ -n "$QUORVA_OWN_WINESERVER" ]; then quorva_wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$QUORVA_XVFB_PID" ]; then
    kill "$QUORVA_XVFB_PID" 2>/dev/null || true
    wait "$QUORVA_XVFB_PID" 2>/dev/null || true
    unset DISPLAY
  fi
  QUORVA_OWN_WINESERVER=""
  QUORVA_XVFB_PID=""
}

quorva_start_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  # Xvfb picks a free display itself and names it on the given descriptor,
  # so sessions started side by side never share (and kill) one server.
  local named
  named="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$named" >/dev/null 2>&1 &
  QUORVA_XVFB_PID=$!
  for _ in $(seq 1 100); do
    if [ -s "$named" ]; then
      export DISPLAY=":$(tr -dc '0-9' <"$named")"
      rm -f "$named"
      return 0
    fi
    sleep 0.1
  done
  rm -f "$named"
  echo "Xvfb did not start" >&2
  return 1
}

quorva_start_wine() {
  # The first Wine process starts services that keep its standard output
  # open; starting the server first and warming it with a throw-away process
  # keeps that away from the pipes of the tests. A server that is already
  # up (a program of this prefix still running, or one just ended) is used
  # as it is.
  if quorva_wineserver -p >/dev/null 2>&1; then QUORVA_OWN_WINESERVER=1; fi
  quorva_wine cmd /c exit 0 >/dev/null 2>&1 </dev/null || true
}

quorva_start_session() {
  trap quorva_stop_session EXIT
  quorva_start_display
  quorva_start_wine
}
