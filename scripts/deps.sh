#!/usr/bin/env bash
# Installs what building and running need on Debian 12 (--run), or that and what testing needs (the
# default), or what the web version's build and tests need (--web); safe to run again.
set -euo pipefail

build=(
  cmake g++ make ninja-build pkg-config
  qt6-base-dev libgl-dev libfontconfig-dev libxcb1-dev python3-fonttools
)
packages=(
  "${build[@]}"
  clang locales
  libgtest-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth xdotool x11-utils imagemagick
  dbus at-spi2-core python3-pyatspi openbox wmctrl
  libx11-dev libxdamage-dev desktop-file-utils appstream dpkg-dev lintian man-db
  weston libweston-10-dev libwayland-dev xwayland qt6-wayland mutter
)

# Node and npm are not among them: they come with the machine, and Debian's would conflict with another.
web=(
  cmake ninja-build googletest
  emscripten chromium python3-fonttools python3-brotli webp nginx
)

[ "${1:-}" = --run ] && packages=("${build[@]}")
[ "${1:-}" = --web ] && packages=("${web[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# Other work on the machine may hold the package lock for a while.
$sudo apt-get -o DPkg::Lock::Timeout=600 update -qq
$sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
