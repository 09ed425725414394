#!/usr/bin/env bash
# Installs what building and running need on Debian 12 (--run), or that and what testing needs (the
# default); safe to run again.
set -euo pipefail

build=(
  cmake g++ ninja-build pkg-config
  qt6-base-dev libgl-dev libfontconfig-dev libxcb1-dev
)
packages=(
  "${build[@]}"
  clang make locales
  libgtest-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth xdotool x11-utils imagemagick
  dbus at-spi2-core python3-pyatspi openbox wmctrl
  libx11-dev libxdamage-dev desktop-file-utils appstream dpkg-dev lintian man-db
  weston libweston-10-dev libwayland-dev xwayland qt6-wayland mutter
)

[ "${1:-}" = --run ] && packages=("${build[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
