#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if any is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format clang-tidy pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-svg-dev qt6-serialport-dev libxcb1-dev
  xvfb xclip xdotool openbox x11-utils weston xwayland wl-clipboard qt6-wayland
  at-spi2-core python3-pyatspi dbus
  g++-mingw-w64-x86-64-posix wine64
  emscripten chromium chromium-driver python3-selenium librsvg2-bin iproute2
  python3 scdoc man-db lintian desktop-file-utils appstream wixl
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
    || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
