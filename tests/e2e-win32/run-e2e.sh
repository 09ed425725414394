#!/usr/bin/env bash
# Drives the Windows calculator under Wine as a user would, with pointer and keys from the X server (xdotool),
# and reads what it shows through kelvara-probe, an outside Windows program.
# Usage: run-e2e.sh CALCULATOR.exe PROBE.exe   (DISPLAY and WINEPREFIX set; the pointer parked off the windows)
set -uo pipefail

exe=$1
probe_exe=$2
wine=${WINE:-wine}
work=$(mktemp -d)
app=""

cleanup() {
  if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then kill "$app" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

label=e2e
# shellcheck source=tests/e2e-win32/lib-check.sh
. "$(dirname "$0")/lib-check.sh"

windows() { timeout -k 5 30 "$wine" "$probe_exe" windows 2>/dev/null | tr -d '\r'; }

# Waits until the probe's listing matches an extended regular expression (or, with -v, stops matching).
wait_for() {
  local invert=0
  if [ "$1" = -v ]; then invert=1; shift; fi
  for _ in $(seq 1 60); do
    if windows | grep -Eq -- "$1"; then
      [ $invert -eq 0 ] && return 0
    else
      [ $invert -eq 1 ] && return 0
    fi
    sleep 0.25
  done
  return 1
}

# Screen centre "x y" of the shown control of a class with exactly this text.
centre() {
  windows | awk -F'\t' -v class="$1" -v text="$2" \
    '$1 == "control" && $2 == class && $3 == 1 && $6 == text { print $4, $5; exit }'
}

click() { # class, text
  local at
  at=$(centre "$1" "$2")
  [ -n "$at" ] || return 1
  # shellcheck disable=SC2086
  xdotool mousemove $at click 1
}

shown_texts() { windows | awk -F'\t' '$1 == "control" && $3 == 1 { print $6 }'; }

# A stand-in for the desktop's opener: Wine hands http addresses to winebrowser, which runs xdg-open.
mkdir -p "$work/bin"
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$1" >>"$work/opened"
EOF
chmod +x "$work/bin/xdg-open"

PATH="$work/bin:$PATH" timeout -k 5 180 "$wine" "$exe" >"$work/app.log" 2>&1 &
app=$!

check "the main window opens" wait_for $'^window\t0\t.*\tKelvara - Fuel Consumtion Calculator$'
# The X server maps the window a moment after Windows shows it.
sleep 0.5

click Button Calculate
check "empty input opens the alert" wait_for $'^window\t1\t'
alert_text=$(windows | awk -F'\t' '$1 == "window" { owned = $2 } owned == 1 && $1 == "control" && $6 ~ /Required/ { print $6 }')
expected='\nTank Capacity Is Required.\nMonthly Top-up Is Required.\nMileage Attained Is Required.\nFuel Price Is Required.'
check "the alert lists four messages" test "$alert_text" = "$expected"
click Button OK
check "OK closes the alert" wait_for -v $'^window\t1\t'

# The four boxes from the top: tank, top-ups, mileage, price.
mapfile -t boxes < <(windows | awk -F'\t' '$1 == "control" && $2 == "Edit" && $3 == 1 { print $5, $4 }' | sort -n)
values=(45 3 550 1.95)
for i in 0 1 2 3; do
  read -r y x <<<"${boxes[$i]:-0 0}"
  xdotool mousemove "$x" "$y" click 1
  sleep 0.2
  xdotool type --delay 40 "${values[$i]}"
done
box_texts=$(windows | awk -F'\t' '$1 == "control" && $2 == "Edit" && $3 == 1 { print $5, $6 }' | sort -n | awk '{ print $2 }' | paste -sd' ')
echo "e2e: the boxes hold: $box_texts"
check "the typed figures are in the boxes" test "$box_texts" = "45 3 550 1.95"

click Button Calculate
check "the result panel shows" wait_for $'^control\tKelvaraSurface\t1\t[-0-9]+\t[-0-9]+\t676\\.5$'
results=$(shown_texts)
for figure in 676.5 15.0 2.4 '$222.69' '$40.56' '$486.72' 5.5; do
  check "the result panel shows $figure" grep -qxF -- "$figure" <<<"$results"
done

click KelvaraSurface "KELVARA CALCULATOR BY WWW.KELVARA.EXAMPLE"
opened() {
  for _ in $(seq 1 80); do
    grep -qxF "https://www.kelvara.example/" "$work/opened" 2>/dev/null && return 0
    sleep 0.25
  done
  return 1
}
check "the title opens the distributor's site" opened

click Button Close
ended() {
  for _ in $(seq 1 80); do
    kill -0 "$app" 2>/dev/null || return 0
    sleep 0.25
  done
  return 1
}
status=timeout
if ended; then
  wait "$app"
  status=$?
  app=""
fi
check "Close ends the program with status 0" test "$status" -eq 0

windows_path=$(timeout -k 5 30 winepath -w "$exe" 2>/dev/null)
version=$(timeout -k 5 30 "$wine" "$probe_exe" version "$windows_path" 2>/dev/null | tr -d '\r')
for line in "ProductName=Kelvara Calculator" "InternalName=Kelvara Calculator" \
  "FileDescription=Calculates fuel consumption after adding Kelvara." "FileVersion=1.00" \
  "ProductVersion=1.00" "FILEVERSION=1,0,0,0" "Translation=0409,1200"; do
  check "version record: $line" grep -qxF -- "$line" <<<"$version"
done

if [ "$failed" -gt 0 ]; then
  echo "--- calculator output"
  cat "$work/app.log"
fi
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
