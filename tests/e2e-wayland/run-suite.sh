#!/bin/sh
# Runs one suite of the Wayland end-to-end tests in a D-Bus session and runtime directory of its own; each test
# starts its own weston inside that.
set -eu
runtime=$(mktemp -d "${TMPDIR:-/tmp}/kelvara-e2e-wayland.XXXXXX")
trap 'rm -rf "$runtime"' EXIT
export HOME="$runtime" XDG_RUNTIME_DIR="$runtime"
dbus-run-session -- /usr/bin/python3 -W ignore "$(dirname "$0")/test_wayland.py" -v "$1"
