#!/usr/bin/env bash
# Runs one test program in a private PID, network and mount namespace with its own display:
# the programs under test end the outside player's processes (xgweb, ...) by name, and servers listen
# on the build's fixed port, so inside its own namespaces a test sees only what it started, and
# any number of tests (and test runs) go side by side with a player the developer uses.
#
# CTest runs the GUI and whole-program tests through this script. One test by hand:
#   scripts/isolated.sh build/tests/e2e/e2e_test --gtest_filter='PlayerE2E.*'
# or simply: ctest --test-dir build -R PlayerE2E --output-on-failure
#
# Needs root (or unprivileged user namespaces) for unshare, iproute2 and Xvfb. Where the build
# found no namespaces it runs these tests one at a time instead, without this script.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

fail() {
  echo "isolated.sh: $*" >&2
  exit 1
}

# Listing the tests of a program touches nothing: no namespace needed.
for arg in "$@"; do
  [ "$arg" = "--gtest_list_tests" ] && exec "$@"
done
[ $# -gt 0 ] || fail "usage: isolated.sh PROGRAM [ARGS...]"

if [ "${KAM_ISOLATED_INSIDE:-}" != "$$" ]; then
  command -v unshare >/dev/null || fail "no unshare (util-linux): cannot isolate this test"
  if ! why="$(unshare --pid --net --fork --mount-proc true 2>&1)"; then
    fail "cannot make a private PID and network namespace (${why:-unshare failed}); run the" \
      "tests as root, or configure on a machine without namespaces to run them one at a time"
  fi
  # --kill-child: when CTest ends this script (a timeout), everything inside goes with it.
  # In the new PID namespace this script runs again as process 1, which is how it knows.
  exec unshare --pid --net --fork --mount-proc --kill-child \
    env KAM_ISOLATED_INSIDE=1 "$here/isolated.sh" "$@"
fi

# Inside: process 1 of the namespace.
command -v ip >/dev/null || fail "no ip (iproute2): cannot bring up loopback"
ip link set lo up || fail "cannot bring up loopback in the test's network namespace"
# A private socket folder: the test reaches its own display only, and no other display's
# programs reach into it.
mkdir -p /tmp/.X11-unix
mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix || fail "cannot mount a private /tmp/.X11-unix"
# Xvfb compiles its keymap into "server-<display>.xkm" in this shared folder; with private
# displays every namespace's server is :0, and two at once would overwrite each other's file.
if [ -d /var/lib/xkb ]; then
  mount -t tmpfs tmpfs /var/lib/xkb || fail "cannot mount a private /var/lib/xkb"
fi
unset DISPLAY
XVFB_QUIET=1
XVFB_NOLOCK=1
# shellcheck source=scripts/xvfb.sh
source "$here/xvfb.sh"
[ -n "${DISPLAY:-}" ] || fail "no display for this test (see above)"
unset KAM_ISOLATED_INSIDE
export KAM_ISOLATED=1
# A runtime folder of the test's own: without one the engine's sound client leaves a
# /tmp/pulse-* folder behind for every test.
XDG_RUNTIME_DIR="$(mktemp -d)"
export XDG_RUNTIME_DIR
# Not exec: process 1 stays to reap orphans; when it ends, the kernel ends the rest.
set +e
"$@"
rc=$?
kill "$XVFB_PID" 2>/dev/null
rm -rf "$XDG_RUNTIME_DIR"
exit "$rc"
