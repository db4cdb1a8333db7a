#!/usr/bin/env bash
# Start-up benchmark: the player against a minimal one-view program, run alternately against the
# demo site; prints time to the catalogue and peak memory of each, and both ratios.
# Usage: scripts/bench-startup.sh [runs] [build folder]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-5}"
build="${2:-$root/build}"
cmake --build "$build" --target kamplayer progdir_assets kam_demo_server startup_bench \
  startup_minimal_view >/dev/null
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
trap '[ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true' EXIT
"$build/bench/startup_bench" "$runs"
