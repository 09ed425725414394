#!/usr/bin/env bash
# Starts the program with --help and --version where no display exists: each must print and end at once.
# Usage: run-flags.sh PROGRAM VERSION
set -uo pipefail
program=$1
version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failed=0

run() { # arguments...: runs the program in an environment that holds no display
    env -i PATH=/usr/bin:/bin HOME="$out" QT_QPA_PLATFORM=xcb \
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
# Without a flag the program does need a display, which shows the two runs above never reached for one.
run
expect "without a flag the program fails for want of a display" test "$?" -ne 0
[ "$failed" -eq 0 ] && echo "flags: passed"
[ "$failed" -eq 0 ]
