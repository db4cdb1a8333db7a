#!/usr/bin/env bash
# Sets up, builds and runs every test, each once. GUI and whole-program tests run each in a
# namespace of its own with its own display (scripts/isolated.sh), side by side; where the
# machine gives no namespaces, one at a time on a shared Xvfb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
# Tests build with warnings as errors, whatever the environment says.
KAM_WERROR=ON "$root/scripts/build.sh"
cd "$root"
mode="$(cat build/test-isolation.txt 2>/dev/null || echo "serial: no build/test-isolation.txt")"
echo "test.sh: $mode"
case "$mode" in
  isolated:*) ;;
  *)
    # shellcheck source=scripts/xvfb.sh
    source "$root/scripts/xvfb.sh"
    trap '[ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true' EXIT
    ;;
esac
ctest --preset default -j "${KAM_TEST_JOBS:-2}" "$@"
