#!/usr/bin/env bash
# Starts the program with --help, --version, an unknown option and no option where no display exists: each
# must print and end at once, with its status.
# Usage: run-flags.sh PROGRAM VERSION
set -uo pipefail
program=$1
version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failed=0

run() { # arguments...: runs the program in an environment that holds no display (or the one in $display)
    env -i PATH=/usr/bin:/bin HOME="$out" ${display:+DISPLAY=$display} \
        timeout 10 "$program" "$@" >"$out/stdout" 2>"$out/stderr"
}
expect() { # description, command...
    local what=$1
    shift
    if ! "$@"; then
        echo "FAIL: $what" >&2
        failed=$((failed + 1))
    fi
}

for flag in --help --version; do
    run "$flag"
    status=$?
    expect "$flag ends with status 0 (was $status)" test "$status" -eq 0
    expect "$flag writes nothing to standard error" test ! -s "$out/stderr"
    case $flag in
    --help) expect "--help prints the usage" grep -q '^Usage: kelvara-calculator \[--help | --version\]$' "$out/stdout" ;;
    --version) expect "--version prints the version line" test "$(cat "$out/stdout")" = "Kelvara Calculator $version" ;;
    esac
done
# Without a display: one line that says so and names what was tried, status 1, as well with a DISPLAY that
# names no server.
gone=:$(for n in $(seq 90 999); do [ -e "/tmp/.X11-unix/X$n" ] || { echo "$n"; break; }; done)
for display in "" "$gone"; do
    run
    status=$?
    expect "without a display ($display) the status is 1 (was $status)" test "$status" -eq 1
    tried="DISPLAY=$display"
    [ -n "$display" ] || tried="DISPLAY (not set)"
    expect "without a display ($display) one line says so: $(cat "$out/stderr")" test "$(cat "$out/stderr")" = \
        "kelvara-calculator: no display could be opened; tried $tried and WAYLAND_DISPLAY (not set)"
done
display=""
# An unknown option is named, with the usage after it, and ends with status 2, display or not.
run --frobnicate
status=$?
expect "--frobnicate ends with status 2 (was $status)" test "$status" -eq 2
expect "--frobnicate is named as unknown" test "$(head -n 1 "$out/stderr")" = "kelvara-calculator: unknown option '--frobnicate'"
expect "--frobnicate prints the usage" grep -q '^Usage: kelvara-calculator \[--help | --version\]$' "$out/stderr"
expect "--frobnicate prints nothing on standard output" test ! -s "$out/stdout"
[ "$failed" -eq 0 ] && echo "flags: passed"
[ "$failed" -eq 0 ]
