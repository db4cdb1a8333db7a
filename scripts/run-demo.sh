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
echo "Demo site on http://127.0.0.1:$port/ (pid $server)"
"$root/build/progdir/kamplayer" "$@"
