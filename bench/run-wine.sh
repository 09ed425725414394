#!/usr/bin/env bash
# Start-up figures of the Windows build under Wine next to a bare Win32 window of the same size
# (bench/bare-window-win32.cpp), taken as bench/run.sh takes the Linux ones: by the same probe, on a private
# Xvfb display without a window manager. Prints a block for the README's Performance section.
# Run by hand, not by the tests: the figures depend on the machine.
#   bench/run-wine.sh [PAIRS]  (default 11; build folders: $KELVARA_BENCH_BUILD or build-bench for the probe,
#                               $KELVARA_WINDOWS_BUILD or build-windows for the programs)
#
# The probe forks `wine PROGRAM.exe` and the process it forks is the program's own: /usr/bin/wine is a shell
# script that execs the loader, which execs itself once more (through wine64-preloader where one is installed;
# Debian's wine64 ships none) and then runs the .exe in that same process. Each exec starts VmHWM afresh, so
# the peak covers the Windows process alone: the loader, Wine's Unix side (ntdll, win32u, winex11, Xlib), the
# PE DLLs and the program. The wineserver and Wine's own services and desktop process are not in it; both
# programs share them, and they are running before the first measurement.
#
# The first frame is, as on Linux, the first drawing on the program's window to reach the X server. Wine
# sends a window's surface while its controls are still painting, so the calculator's first frame can show
# only some of them: the complete frame is the first drawing after which the window shows what it shows once
# settled (the probe reads the window's pixels after each drawing). Each figure comes with its spread over the
# runs (quartiles and extremes), and the ratio with the spread of the ratios pair by pair.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/startup.sh
. bench/startup.sh
pairs=${1:-21}
build=${KELVARA_BENCH_BUILD:-build-bench}
windows=${KELVARA_WINDOWS_BUILD:-build-windows}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target first-frame >/dev/null
cmake --no-warn-unused-cli -S . -B "$windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DKELVARA_WERROR=ON >/dev/null
cmake --build "$windows" --target kelvara-calculator bare-window-win32 >/dev/null
app=$windows/app/kelvara-calculator.exe
bare=$windows/bench/bare-window-win32.exe
probe=$build/bench/first-frame

scratch=$(mktemp -d)
xvfb_pid=""
cleanup() {
    # Only once the prefix exists can a server of its own be running.
    if [ -d "$scratch/prefix" ]; then
        timeout -k 5 20 wineserver -k 2>/dev/null || true
        timeout -k 5 20 wineserver -w 2>/dev/null || true
    fi
    stop_xvfb
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_xvfb 1024x768 || exit 1

# A prefix of its own: no crash debugger, no Mono or Gecko offered, no menu entries made on this machine.
export WINEPREFIX=$scratch/prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d;mscoree,mshtml="
timeout -k 10 180 wine wineboot -i >"$scratch/wineboot.log" 2>&1
timeout -k 10 60 wineserver -w
# One server for the whole run, so that no measured start pays for starting it. The first program of a
# server's life also starts Wine's services and desktop process: a pair nobody counts does that, and warms
# the caches for both.
wineserver -p
"$probe" --hold 300 -- wine "$app" >/dev/null 2>&1 || true
"$probe" --hold 300 -- wine "$bare" >/dev/null 2>&1 || true

for ((i = 0; i < pairs; i++)); do
    if ((i % 2 == 0)); then order="app bare"; else order="bare app"; fi
    for which in $order; do
        program=$app
        [ "$which" = bare ] && program=$bare
        if ! "$probe" --hold 300 --complete -- wine "$program" >"$scratch/run" 2>"$scratch/run.log"; then
            cat "$scratch/run.log" >&2
            exit 1
        fi
        for key in first_frame_ms complete_frame_ms peak_kb; do
            value "$key" "$scratch/run" >>"$scratch/$which.$key"
        done
    done
done

# quantile FILE Q: the Q-quantile (0 to 1) of the numbers in FILE, interpolated.
quantile() {
    sort -g "$1" | awk -v q="$2" '{ v[NR] = $1 } END { p = 1 + (NR - 1) * q; i = int(p); f = p - i;
        print (i < NR) ? v[i] + f * (v[i + 1] - v[i]) : v[NR] }'
}
# figure KEY SCALE UNIT TARGET: medians, spreads and the ratio of one measure.
figure() {
    local key=$1 scale=$2 unit=$3 target=$4 which
    paste "$scratch/app.$key" "$scratch/bare.$key" | awk '{ print $1 / $2 }' >"$scratch/ratio.$key"
    for which in app bare; do
        printf '    %-12s median %7.1f %s   quartiles %7.1f to %7.1f   runs %7.1f to %7.1f\n' \
            "$([ $which = app ] && echo calculator || echo 'bare window')" \
            "$(awk -v s="$scale" '{ print $1 / s }' <<<"$(quantile "$scratch/$which.$key" 0.5)")" "$unit" \
            "$(awk -v s="$scale" '{ print $1 / s }' <<<"$(quantile "$scratch/$which.$key" 0.25)")" \
            "$(awk -v s="$scale" '{ print $1 / s }' <<<"$(quantile "$scratch/$which.$key" 0.75)")" \
            "$(awk -v s="$scale" '{ print $1 / s }' <<<"$(quantile "$scratch/$which.$key" 0)")" \
            "$(awk -v s="$scale" '{ print $1 / s }' <<<"$(quantile "$scratch/$which.$key" 1)")"
    done
    printf '    ratio        %.2fx (medians; target %s)   pair by pair: median %.2fx, quartiles %.2fx to %.2fx\n' \
        "$(awk '{ print $1 / $2 }' <<<"$(quantile "$scratch/app.$key" 0.5) $(quantile "$scratch/bare.$key" 0.5)")" \
        "$target" "$(quantile "$scratch/ratio.$key" 0.5)" "$(quantile "$scratch/ratio.$key" 0.25)" \
        "$(quantile "$scratch/ratio.$key" 0.75)"
}

echo "\$ bench/run-wine.sh $pairs"
echo "$(date -u +%F), $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1), $(nproc) cores, load average" \
    "$(cut -d' ' -f1-3 /proc/loadavg);" \
    "$(wine --version), mingw-w64 Release build, Xvfb 1024x768x24 without a window manager"
echo "executable: $(stat -c %s "$app") bytes"
echo
echo "start-up, $pairs pairs alternating"
echo "  fork to first frame on the X server"
figure first_frame_ms 1 ms "none"
echo "  fork to the complete first frame (the window as it settles)"
figure complete_frame_ms 1 ms "<= 1.5x"
echo "  peak memory (VmHWM) 300 ms after the first frame"
figure peak_kb 1024 MiB "<= 1.4x"
