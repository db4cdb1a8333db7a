#!/usr/bin/env bash
# Play-click benchmark, like for like: the player and the minimal one-view program, each clicked
# by a real pointer press on the same episode link of the same catalogue page in the same window
# size, times taken inside the pages; a first click after start and three later ones per start,
# the programs alternating run by run, with the buffering page on and off (see
# bench/qt/play_click_bench.cpp for what it measures and prints).
#
# Usage: scripts/bench-play-click.sh [runs] [build folder] [loading...]
#   runs     starts of each program per setting (5)
#   loading  1 buffering page on, 0 off; one or both, in that order (1 0)
#   e.g.     scripts/bench-play-click.sh 3 build 0
# Runs in namespaces and on a display of its own (scripts/isolated.sh) where it can, otherwise
# on the current display or a new Xvfb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-5}"
build="${2:-$root/build}"
shift $(($# > 2 ? 2 : $#))
cmake --build "$build" --target kamplayer progdir_assets kam_demo_server kam_demo_media \
  play_click_bench startup_minimal_view >/dev/null
# shellcheck source=scripts/bench-run.sh
source "$root/scripts/bench-run.sh"
bench_run "$build/bench/play_click_bench" "$runs" "$@"
