#!/usr/bin/env bash
# Sourced by the run and test scripts: makes sure a display exists, starting Xvfb when none does.
# Sets DISPLAY; XVFB_PID is set when this script started the server.
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  unset DISPLAY XVFB_PID
  if command -v Xvfb >/dev/null; then
    # -displayfd: the server takes the first free display number itself (no race with another
    # run starting at the same moment) and writes it once it accepts clients.
    # -noreset: without it the server resets whenever its last client leaves, and a program
    # that connects at that moment (the next test's) is refused.
    # XVFB_NOLOCK: the caller has a socket folder and network namespace of its own, where the
    # lock files in the shared /tmp only do harm (servers in other PID namespaces read each
    # other's PIDs as stale, and one dies when a lock vanishes while it reads it).
    xvfb_number_file="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp -noreset ${XVFB_NOLOCK:+-nolock} \
      3>"$xvfb_number_file" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 200); do # at most 20 s
      grep -q '^[0-9][0-9]*$' "$xvfb_number_file" 2>/dev/null && break
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    xvfb_number="$(grep -m1 '^[0-9][0-9]*$' "$xvfb_number_file" 2>/dev/null || true)"
    rm -f "$xvfb_number_file"
    if [ -n "$xvfb_number" ] && DISPLAY=":$xvfb_number" xdpyinfo >/dev/null 2>&1; then
      export DISPLAY=":$xvfb_number"
      [ -n "${XVFB_QUIET:-}" ] || echo "No display found: started Xvfb on $DISPLAY (pid $XVFB_PID)"
    else
      kill "$XVFB_PID" 2>/dev/null || true
      unset XVFB_PID
      echo "xvfb.sh: Xvfb did not start; there is no display" >&2
    fi
    unset xvfb_number xvfb_number_file
  else
    echo "xvfb.sh: no display and no Xvfb (install the xvfb package: scripts/setup.sh)" >&2
  fi
fi
# The browser engine refuses to run as root with its sandbox on.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
