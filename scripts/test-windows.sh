#!/usr/bin/env bash
# Cross-builds the plain C++ targets and their tests for Windows (MinGW-w64, preset
# windows-cross) and runs every test program under Wine, headless, in a Wine prefix of its own
# inside the build folder. Ends with "N passed, N failed" (test cases) and fails on any failure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

packages=(g++-mingw-w64-x86-64-posix wine wine64 googletest cmake ninja-build)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "test-windows: installing ${missing[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

build="$root/build-windows"
cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross

# Wine without a display, a desktop integration or first-start dialogs: no window may show
# or wait for anyone.
export WINEPREFIX="$build/wine"
export WINEDEBUG=-all
export WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "test-windows: creating the Wine prefix"
  wineboot -i >/dev/null 2>&1
  # wineboot returns while its server is still writing the prefix; wait until it has ended.
  wineserver -w
fi
# The process-control tests make top-level windows; without a display Wine needs its null
# graphics driver for them.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
# One server stays up between the test programs and ends a minute after the last. If one is
# already running on this prefix (an earlier run's), it serves just as well.
wineserver -p 60 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT

out="$build/test-output"
mkdir -p "$out"
passed=0
failed=0
for exe in "$build"/bin/*_test.exe; do
  name="$(basename "$exe" .exe)"
  log="$out/$name.log"
  xml="$out/$name.xml"
  rm -f "$xml"
  start=$SECONDS
  set +e
  timeout 600 wine "$exe" --gtest_output="xml:$(winepath -w "$xml")" >"$log" 2>&1
  rc=$?
  set -e
  if [ -f "$xml" ]; then
    tests=$(grep -m1 -o 'tests="[0-9]*"' "$xml" | grep -o '[0-9]*')
    failures=$(grep -m1 -o 'failures="[0-9]*"' "$xml" | grep -o '[0-9]*')
    disabled=$(grep -m1 -o 'disabled="[0-9]*"' "$xml" | grep -o '[0-9]*')
    skipped=$(grep -m1 -o 'skipped="[0-9]*"' "$xml" | grep -o '[0-9]*' || echo 0)
    ok=$((tests - failures - disabled - skipped))
  else
    ok=0
    failures=0
  fi
  # A program that ends badly (a crash, a hang) counts as one failure more.
  if [ "$rc" -ne 0 ] && [ "$failures" -eq 0 ]; then failures=1; fi
  passed=$((passed + ok))
  failed=$((failed + failures))
  echo "$name: $ok passed, $failures failed ($((SECONDS - start)) s)"
  if [ "$failures" -ne 0 ]; then
    grep -E "^\[  FAILED  \] [^ ]+ \(" "$log" | head -40 || true
    [ "$rc" -ne 0 ] && echo "  exit status $rc; output in $log"
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
