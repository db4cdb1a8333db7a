#!/usr/bin/env bash
# Sets up, builds and runs every test. GUI tests run on Xvfb when no display is present.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# Tests build with warnings as errors, whatever the environment says.
KAM_WERROR=ON "$root/scripts/build.sh"
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
trap '[ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true' EXIT
cd "$root"
# Whole-program tests drive real windows and a real browser engine on a shared machine; one that
# trips over a slow moment gets one more try, and one that fails twice fails the run.
ctest --preset default -j 2 --repeat until-pass:2 "$@"
