#!/usr/bin/env bash
# Play-click benchmark: from the click on an episode in the player's catalogue to the video's
# first "playing" event, against the minimal one-view program opening the same play page; run
# alternately against the demo site.
# Usage: scripts/bench-play-click.sh [runs] [build folder] [loading: 1 buffering page, 0 none]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-5}"
build="${2:-$root/build}"
cmake --build "$build" --target kamplayer progdir_assets kam_demo_server kam_demo_media \
  play_click_bench startup_minimal_view >/dev/null
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
trap '[ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true' EXIT
"$build/bench/play_click_bench" "$runs" "${3:-1}"
