#!/usr/bin/env bash
# Soak benchmark: the player plays episodes in a row (real press on the catalogue, 5 s of play,
# the close link, the catalogue tab), printing each click to "playing", the memory of all its
# processes at play 10 and at the last with the growth, and the drift of the click times; then
# the CPU of all its processes over a while of playing against the minimal one-view program
# playing the same page at the same size (see bench/qt/play_soak_bench.cpp).
#
# Usage: scripts/bench-play-soak.sh [plays] [build folder] [loading] [cpu seconds]
#   plays        episodes in a row (100; fewer for a quick check, 0 for the CPU part alone)
#   loading      1 buffering page on (the default), 0 off
#   cpu seconds  how long the CPU is measured (20; 0 leaves it out)
#   e.g.         scripts/bench-play-soak.sh 12 build 1 20
# Runs in namespaces and on a display of its own (scripts/isolated.sh) where it can, otherwise
# on the current display or a new Xvfb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
plays="${1:-100}"
build="${2:-$root/build}"
cmake --build "$build" --target kamplayer progdir_assets kam_demo_server kam_demo_media \
  play_soak_bench startup_minimal_view >/dev/null
# shellcheck source=scripts/bench-run.sh
source "$root/scripts/bench-run.sh"
bench_run "$build/bench/play_soak_bench" "$plays" "${3:-1}" "${4:-20}"
