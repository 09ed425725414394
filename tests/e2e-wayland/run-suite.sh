#!/bin/sh
# Runs one suite of the Wayland end-to-end tests in a D-Bus session and runtime directory of its own, as the X11
# suites run; each test starts its own compositor inside that.
exec "$(dirname "$0")/../e2e/run-suite.sh" "$1" ../e2e-wayland/test_wayland.py
