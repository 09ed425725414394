#!/usr/bin/env bash
# Start-up, idle and animation figures of the calculator next to a bare Qt window of the same size, on a
# private Xvfb display without a window manager. Prints a block for the README's Performance section.
# Run by hand, not by the tests: the figures depend on the machine.
#   bench/run.sh [PAIRS]       (default 15; build folder: $KELVARA_BENCH_BUILD or build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/startup.sh
. bench/startup.sh
pairs=${1:-15}
build=${KELVARA_BENCH_BUILD:-build-bench}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target kelvara-calculator bare-window first-frame bench-animation >/dev/null
app=$build/app/kelvara-calculator
bare=$build/bench/bare-window
probe=$build/bench/first-frame

scratch=$(mktemp -d)
xvfb_pid=""
cleanup() {
    stop_xvfb
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb 1024x768 || exit 1
export XDG_RUNTIME_DIR=$scratch/runtime QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
mkdir -m 700 "$XDG_RUNTIME_DIR"

measure_pairs "$pairs" "$app" "$bare"
"$probe" --idle 1000 10000 -- "$app" >"$scratch/app.idle" 2>/dev/null
"$probe" --idle 1000 10000 -- "$bare" >"$scratch/bare.idle" 2>/dev/null
"$build/bench/bench-animation" 5 >"$scratch/animation" 2>"$scratch/animation.log"

idle() { # file
    printf 'CPU %s ms, wake-ups %s (GUI thread %s, %s threads), frames drawn %s' \
        "$(value idle_cpu_ms "$1")" "$(value idle_wakeups "$1")" "$(value idle_main_wakeups "$1")" \
        "$(value threads "$1")" "$(value idle_frames "$1")"
}

echo "\$ bench/run.sh $pairs"
echo "$(date -u +%F), $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1), $(nproc) cores;" \
    "Qt $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo '?'), Release build," \
    "Xvfb 1024x768x24 without a window manager"
echo
print_startup "$pairs"
echo
echo "idle, from 1 s after the first frame, for $(value idle_seconds "$scratch/app.idle") s:"
echo "  calculator:  $(idle "$scratch/app.idle")"
echo "  bare window: $(idle "$scratch/bare.idle")"
echo
cat "$scratch/animation"
