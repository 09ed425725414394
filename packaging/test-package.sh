#!/usr/bin/env bash
# Builds the Debian package from a Release build, checks what it holds, installs it, starts the installed
# program on a private X server until its window shows, and removes the package again. Without root the
# package is unpacked into a scratch folder and the program is started from there.
# Usage: packaging/test-package.sh [BUILD_DIR]     (default: build-release in the repository)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
build=${1:-$repo/build-release}
# shellcheck source=packaging/lib-checks.sh
. "$here/lib-checks.sh"
# shellcheck source=scripts/xvfb.sh
. "$repo/scripts/xvfb.sh"

app=$program_name
title="Kelvara - Fuel Consumtion Calculator"
scratch=$(mktemp -d)
xvfb_pid=""
app_pid=""
installed_here=""

stop() { # pid
    kill "$1" 2>/dev/null && timeout 10 tail --pid="$1" -f /dev/null
}
# shellcheck disable=SC2317 # run by the EXIT trap
cleanup() {
    [ -n "$app_pid" ] && stop "$app_pid"
    [ -n "$xvfb_pid" ] && stop "$xvfb_pid"
    [ -n "$installed_here" ] && dpkg -r "$app" >/dev/null 2>&1
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

finish() {
    echo "package: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}

step() { # description, log name, command...
    local what=$1 log=$scratch/$2.log
    shift 2
    if "$@" >"$log" 2>&1; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: $what" >&2
        tail -n 30 "$log" >&2
        return 1
    fi
}

step "Release configure" configure \
    timeout 300 cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release || finish
step "Release build" build timeout 1800 cmake --build "$build" || finish
rm -f "$build"/"$app"_*.deb
version=$(cat "$build/kelvara-version.txt")
step "cpack -G DEB" cpack bash -c "cd '$build' && timeout 600 cpack -G DEB" || finish
deb=$build/${app}_${version}_$(dpkg --print-architecture).deb
check "package file named for version $version" test -f "$deb"
[ -f "$deb" ] || finish

field() { dpkg-deb -f "$deb" "$1"; }
check "package name" test "$(field Package)" = "$app"
check "package version $version" test "$(field Version)" = "$version"
check "section utils" test "$(field Section)" = utils
check "maintainer given" test -n "$(field Maintainer)"
check "description given" test -n "$(field Description)"
# Computed by dpkg-shlibdeps from the program's own libraries.
check "depends on the Qt libraries the program links" grep -q libqt6widgets6 <<<"$(field Depends)"
check "depends on Qt's X11 plugin, used through XWayland too" grep -q libqt6gui6 <<<"$(field Depends)"
check "recommends the native Wayland plugin" grep -qw qt6-wayland <<<"$(field Recommends)"
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in usr/bin/$app usr/share/applications/$app_id.desktop usr/share/metainfo/$app_id.metainfo.xml \
    usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$app_id.png; do
    check "package lists /$path" grep -qx "\./$path" <<<"$contents"
done
dpkg-deb -x "$deb" "$scratch/root"
check_tree "$scratch/root"
# Debian's own checker, with no override in the package.
step "lintian reports no error and no warning" lintian lintian --fail-on error,warning "$deb"
check "package carries no lintian overrides" test ! -e "$scratch/root/usr/share/lintian/overrides/$app"
check "--version of the packaged program" test "$("$scratch/root/usr/bin/$app" --version)" = "Kelvara Calculator $version"

program=$scratch/root/usr/bin/$app
if [ "$(id -u)" -ne 0 ]; then
    echo "not root: starting the unpacked program instead of installing the package" >&2
elif dpkg-query -W -f='${Status}' "$app" 2>/dev/null | grep -q 'install ok installed'; then
    echo "$app is already installed here: left alone, starting the unpacked program" >&2
else
    installed_here=yes
    if ! dpkg -i "$deb" >"$scratch/dpkg.log" 2>&1; then
        DEBIAN_FRONTEND=noninteractive timeout 600 apt-get install -f -y -qq >>"$scratch/dpkg.log" 2>&1
    fi
    check "package installs" bash -c "dpkg-query -W -f='\${Status}' $app | grep -q 'install ok installed'"
    # Started the way a desktop starts it: the entry's Exec line, found on PATH.
    program=$(desktop_key /usr/share/applications/$app_id.desktop Exec)
    check "Exec finds the installed program on PATH" test "$(command -v "$program")" = /usr/bin/$app
fi

display=""
start_xvfb 1024x768 && display=$DISPLAY
check "private X server started" test -n "$display"

mkdir -m 700 "$scratch/runtime"
env -u WAYLAND_DISPLAY DISPLAY="$display" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$scratch/runtime" \
    "$program" >"$scratch/program.log" 2>&1 &
app_pid=$!
window=$(DISPLAY=$display timeout 30 xdotool search --sync --name "$title" 2>/dev/null | head -n 1)
check "window '$title' appears" test -n "$window"
check "program is still running" kill -0 "$app_pid"
check "window class is the id, as the desktop entry's StartupWMClass says" \
    grep -q "\"$(desktop_key "$scratch/root/usr/share/applications/$app_id.desktop" StartupWMClass)\"" \
    <<<"$(DISPLAY=$display xprop -id "${window:-0}" WM_CLASS 2>/dev/null)"
stop "$app_pid"
app_pid=""

if [ -n "$installed_here" ]; then
    check "package removes" dpkg -r "$app"
    installed_here=""
    check "program gone after removal" test ! -e /usr/bin/$app
fi
finish
