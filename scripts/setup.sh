#!/usr/bin/env bash
# Installs every Debian package that the build, the demo and the tests need. Safe to run again.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-declarative-dev qt6-webengine-dev qt6-webengine-dev-tools
  libqt6webenginecore6-bin
  libcurl4-openssl-dev libcpp-httplib-dev
  # the X screen saver held while video plays
  libxss-dev
  # host names as browsers read them: UTS #46 and the Public Suffix List
  libidn2-dev libpsl-dev publicsuffix
  # the updater's installer checks (libcrypto); signing installers and test certificates
  libssl-dev openssl
  # the installer: a self-extracting archive, icons converted from the icon file
  makeself imagemagick
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  curl python3
  # the demo site's video clips (made, not committed) and its script libraries (npm ci)
  ffmpeg nodejs
  # headless desktop: display, input, screenshots, a tray host, a CJK font
  xvfb xauth x11-utils xdotool imagemagick trayer fonts-wqy-microhei xdg-user-dirs
  libgl1-mesa-dri libglx-mesa0
  # a private PID and network namespace for each GUI and whole-program test (unshare, ip)
  util-linux iproute2
  # a private session bus for each whole-program test (dbus-daemon), looked at with gdbus
  dbus libglib2.0-bin
)
# npm comes with some builds of nodejs; Debian packages it apart.
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
else
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The demo site's clips and hls.js (kept when already there).
"$(dirname "$0")/../demo/tools/make_media.sh"
