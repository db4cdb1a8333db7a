#!/usr/bin/env bash
# Sourced by the run and test scripts: makes sure a display exists, starting Xvfb when none does.
# Sets DISPLAY; XVFB_PID is set when this script started the server.
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  for n in $(seq 90 140); do
    [ -e "/tmp/.X${n}-lock" ] && continue
    # -noreset: without it the server resets whenever its last client leaves, and a program
    # that connects at that moment (the next test's) is refused.
    Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do
      xdpyinfo >/dev/null 2>&1 && break
      sleep 0.1
    done
    if xdpyinfo >/dev/null 2>&1; then
      echo "No display found: started Xvfb on $DISPLAY (pid $XVFB_PID)"
      break
    fi
    kill "$XVFB_PID" 2>/dev/null || true
    unset XVFB_PID
  done
fi
# The browser engine refuses to run as root with its sandbox on.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
