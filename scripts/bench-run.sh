# Sourced by the benchmark scripts: bench_run PROGRAM [ARGS...] runs a benchmark program in
# namespaces of its own with a private display (scripts/isolated.sh): the demo server's fixed port
# and the display are then its own, whatever else runs on the machine. Where namespaces cannot be
# made it runs on the current display, or on a new Xvfb.
bench_run() {
  local here
  here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
  if command -v unshare >/dev/null && unshare --pid --net --fork --mount-proc true 2>/dev/null; then
    "$here/isolated.sh" "$@"
  else
    # shellcheck source=scripts/xvfb.sh
    source "$here/xvfb.sh"
    trap '[ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true' EXIT
    "$@"
  fi
}
