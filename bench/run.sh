#!/usr/bin/env bash
# Start-up, idle and animation figures of the calculator next to a bare Qt window of the same size, on a
# private Xvfb display without a window manager. Prints a block for the README's Performance section.
# Run by hand, not by the tests: the figures depend on the machine.
#   bench/run.sh [PAIRS]       (default 15; build folder: $KELVARA_BENCH_BUILD or build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
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
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null; fi
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
done
[ -s "$scratch/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(head -n 1 "$scratch/display")
export DISPLAY
export XDG_RUNTIME_DIR=$scratch/runtime QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
mkdir -m 700 "$XDG_RUNTIME_DIR"

value() { sed -n "s/^$1=//p" "$2"; }
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# Alternating which goes first, so neither always starts on a warmer cache.
for ((i = 0; i < pairs; i++)); do
    if ((i % 2 == 0)); then order="app bare"; else order="bare app"; fi
    for which in $order; do
        program=$app
        [ "$which" = bare ] && program=$bare
        "$probe" --hold 300 -- "$program" >"$scratch/run" 2>/dev/null
        value first_frame_ms "$scratch/run" >>"$scratch/$which.frame"
        value peak_kb "$scratch/run" >>"$scratch/$which.peak"
    done
done
"$probe" --idle 1000 10000 -- "$app" >"$scratch/app.idle" 2>/dev/null
"$probe" --idle 1000 10000 -- "$bare" >"$scratch/bare.idle" 2>/dev/null
"$build/bench/bench-animation" 5 >"$scratch/animation" 2>"$scratch/animation.log"

frame_app=$(median <"$scratch/app.frame")
frame_bare=$(median <"$scratch/bare.frame")
peak_app=$(median <"$scratch/app.peak")
peak_bare=$(median <"$scratch/bare.peak")
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
echo "start-up, $pairs pairs alternating, medians   calculator   bare window   ratio   target"
awk -v a="$frame_app" -v b="$frame_bare" \
    'BEGIN {printf "  fork to first frame on the X server   %7.1f ms   %8.1f ms   %5.2fx   <= 1.15x\n", a, b, a / b}'
awk -v a="$peak_app" -v b="$peak_bare" \
    'BEGIN {printf "  peak memory (VmHWM) 300 ms later      %6.1f MiB  %7.1f MiB   %5.2fx   <= 1.20x\n", a / 1024, b / 1024, a / b}'
echo
echo "idle, from 1 s after the first frame, for $(value idle_seconds "$scratch/app.idle") s:"
echo "  calculator:  $(idle "$scratch/app.idle")"
echo "  bare window: $(idle "$scratch/bare.idle")"
echo
cat "$scratch/animation"
