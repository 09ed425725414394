#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12; safe to run again.
set -euo pipefail

packages=(
  cmake g++ clang make ninja-build pkg-config locales
  qt6-base-dev libgl-dev libfontconfig-dev
  libgtest-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth xdotool x11-utils imagemagick
  dbus at-spi2-core python3-pyatspi openbox
  libx11-dev libxdamage-dev desktop-file-utils appstream dpkg-dev
  weston libweston-10-dev libwayland-dev xwayland qt6-wayland mutter
)

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
