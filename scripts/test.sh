#!/usr/bin/env bash
# Sets up, builds and runs every test. GUI tests run on Xvfb when no display is present.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
# shellcheck source=scripts/xvfb.sh
source "$root/scripts/xvfb.sh"
trap '[ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true' EXIT
cd "$root"
ctest --preset default -j 2 "$@"
