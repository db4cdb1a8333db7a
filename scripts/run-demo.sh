#!/usr/bin/env bash
# Sets up, builds, starts the demo site and runs the player against it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"

port=$(grep -E '^KAM_DEMO_PORT:' "$root/build/CMakeCache.txt" | cut -d= -f2)
"$root/build/demo/kam_demo_server" --port "$port" --root "$root/demo/site" &
server=$!
cleanup() {
  kill "$server" 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
# The player probes the site before anything else: it must be answering first.
for _ in $(seq 1 100); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done
echo "Demo site on http://127.0.0.1:$port/ (pid $server)"
if [ -n "${XVFB_PID:-}" ]; then
  # No screen of its own: give the virtual one a tray, and show what the player shows.
  if command -v trayer >/dev/null; then
    trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel \
      --height 24 --transparent false >/dev/null 2>&1 &
    tray=$!
  fi
  "$root/build/progdir/kamplayer" "$@" &
  player=$!
  trap 'kill "$player" ${tray:-} 2>/dev/null || true; cleanup' EXIT
  sleep 30
  shot="$root/build/demo-screenshot.png"
  import -window root "$shot" && echo "The player on the virtual display: $shot"
  echo "Press Ctrl-C to end."
  wait "$player"
else
  "$root/build/progdir/kamplayer" "$@"
fi
