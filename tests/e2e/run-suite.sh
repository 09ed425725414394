#!/bin/sh
# Runs one suite of the end-to-end tests (from test_calculator.py unless a script is named) in a D-Bus session and runtime directory of its own, so that suites
# running side by side never share an accessibility bus.
set -eu
runtime=$(mktemp -d "${TMPDIR:-/tmp}/kelvara-e2e-run.XXXXXX")
trap 'rm -rf "$runtime"' EXIT
export HOME="$runtime" XDG_RUNTIME_DIR="$runtime"
dbus-run-session -- /usr/bin/python3 -W ignore "$(dirname "$0")/${2:-test_calculator.py}" -v "$1"
