# shellcheck shell=bash disable=SC2154,SC2034
# Sourced by bench/run.sh and bench/run-wine.sh: a private X server (scripts/xvfb.sh), start-up pairs taken by
# the first-frame probe, and the block that reports them. The caller sets scratch (a temporary folder) and
# probe, and calls stop_xvfb when it is done.

# shellcheck source=scripts/xvfb.sh
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/xvfb.sh"

value() { sed -n "s/^$1=//p" "$2"; }
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# measure_pairs PAIRS APP BARE [LAUNCHER...]: first frame and peak memory of each, the order alternating so
# that neither always starts on a warmer cache.
measure_pairs() {
    local pairs=$1 app=$2 bare=$3 i order which program
    shift 3
    for ((i = 0; i < pairs; i++)); do
        if ((i % 2 == 0)); then order="app bare"; else order="bare app"; fi
        for which in $order; do
            program=$app
            [ "$which" = bare ] && program=$bare
            if ! "$probe" --hold 300 -- "$@" "$program" >"$scratch/run" 2>"$scratch/run.log"; then
                cat "$scratch/run.log" >&2
                exit 1
            fi
            value first_frame_ms "$scratch/run" >>"$scratch/$which.frame"
            value peak_kb "$scratch/run" >>"$scratch/$which.peak"
        done
    done
}

# print_startup PAIRS: the medians of measure_pairs against the targets.
print_startup() {
    local frame_app frame_bare peak_app peak_bare
    frame_app=$(median <"$scratch/app.frame")
    frame_bare=$(median <"$scratch/bare.frame")
    peak_app=$(median <"$scratch/app.peak")
    peak_bare=$(median <"$scratch/bare.peak")
    echo "start-up, $1 pairs alternating, medians   calculator   bare window   ratio   target"
    awk -v a="$frame_app" -v b="$frame_bare" \
        'BEGIN {printf "  fork to first frame on the X server   %7.1f ms   %8.1f ms   %5.2fx   <= 1.15x\n", a, b, a / b}'
    awk -v a="$peak_app" -v b="$peak_bare" \
        'BEGIN {printf "  peak memory (VmHWM) 300 ms later      %6.1f MiB  %7.1f MiB   %5.2fx   <= 1.20x\n", a / 1024, b / 1024, a / b}'
}
