#!/usr/bin/env bash
# Drives the Windows calculator under Wine as a user would, with pointer and keys from the X server (xdotool)
# and a window manager's commands (openbox, wmctrl), and reads what it shows through kelvara-probe, an outside
# Windows program. Screenshots of the boxes with typed figures are left beside the probe (boxes*.png).
# Usage: run-e2e.sh CALCULATOR.exe PROBE.exe VERSION   (DISPLAY and WINEPREFIX set; the pointer parked off the windows)
set -uo pipefail

exe=$1
probe_exe=$2
release=${3:?the version the build gave the program}
# Four numbers, as Windows keeps them: 1.00 is 1,0,0,0.
release_numbers=$(awk -F. '{ printf "%d,%d,0,0", $1, $2 }' <<<"$release")
wine=${WINE:-wine}
work=$(mktemp -d)
app=""
wm=""
shots=$(dirname "$probe_exe")
title="Kelvara - Fuel Consumtion Calculator"

cleanup() {
  if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then kill "$app" 2>/dev/null; fi
  if [ -n "$wm" ]; then kill "$wm" 2>/dev/null; fi
  timeout -k 5 30 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
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

# The X window of the shown calculator window that is owned (1) or not (0): the one the window manager lists at
# the same place and size.
xid() {
  local geometry
  geometry=$(windows | awk -F'\t' -v owned="$1" '$1 == "window" && $2 == owned { print $3, $4, $5, $6; exit }')
  [ -n "$geometry" ] || return 1
  wmctrl -lG | awk -v g="$geometry" '{ if ($3 " " $4 " " $5 " " $6 == g) { print $1; exit } }'
}

alive_without_error() { kill -0 "$app" 2>/dev/null && ! grep -qi "run-time error" "$work/app.log"; }

main_size() { windows | awk -F'\t' '$1 == "window" && $2 == 0 { print $5 "x" $6; exit }'; }

# The main window stays at this size, for Windows and on the X server, over a second.
keeps_size() {
  local main=$2
  for _ in $(seq 1 10); do
    [ "$(main_size)" = "$1" ] || return 1
    xdotool getwindowgeometry "$main" | grep -q "Geometry: $1\$" || return 1
    sleep 0.1
  done
}

ended() {
  for _ in $(seq 1 80); do
    kill -0 "$app" 2>/dev/null || return 0
    sleep 0.25
  done
  return 1
}

# Sets status to the program's exit status once it has ended by itself, or to "timeout".
await_exit() {
  status=timeout
  if ended; then
    wait "$app"
    status=$?
    app=""
  fi
}

# A window manager, as on a desktop, with Wine leaving the windows to it.
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
timeout -k 5 30 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1
wm_up() {
  for _ in $(seq 1 40); do
    wmctrl -m >/dev/null 2>&1 && return 0
    sleep 0.25
  done
  return 1
}
check "the window manager runs" wm_up
# The first synthetic key switches the keyboard map, and openbox re-grabs its bindings meanwhile: spend that
# switch now, so that a later Alt+F4 is never lost to it.
xdotool key shift

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
mapped() {
  for _ in $(seq 1 40); do
    [ -n "$(xid 0)" ] && return 0
    sleep 0.1
  done
  return 1
}
check "the window manager maps the main window" mapped
# What only a screen reader, a twice-size drawing or the title's address needs is not loaded to start. (Wine's
# own theming library brings ole32 into every program, so whether COM started is a window test.)
modules=$(timeout -k 5 30 "$wine" "$probe_exe" modules 2>/dev/null | tr -d '\r')
check "the probe lists the calculator's libraries" grep -qx 'user32.dll' <<<"$modules"
for library in oleaut32.dll oleacc.dll shell32.dll windowscodecs.dll; do
  check "$library is not loaded at start" test -z "$(grep -x "$library" <<<"$modules")"
done

click Button Calculate
check "empty input opens the alert" wait_for $'^window\t1\t'
alert_text=$(windows | awk -F'\t' '$1 == "window" { owned = $2 } owned == 1 && $1 == "control" && $6 ~ /Required/ { print $6 }')
expected='\nTank Capacity Is Required.\nMonthly Top-up Is Required.\nMileage Attained Is Required.\nFuel Price Is Required.'
check "the alert lists four messages" test "$alert_text" = "$expected"
# What a screen reader reads (kelvara-probe access): window text, name, value, role, invisible, off screen, action.
access() { timeout -k 5 30 "$wine" "$probe_exe" access 2>/dev/null | tr -d '\r'; }
alert_name=$(access | awk -F'\t' '$2 ~ /Required/ { print $3; exit }')
check "a screen reader reads the alert from its first message ($alert_name)" \
  test "${alert_name%%Required.*}" = "Tank Capacity Is "
check "a screen reader cannot press the title of the window the alert blocks" \
  test "$(timeout -k 5 30 "$wine" "$probe_exe" press "KELVARA CALCULATOR BY WWW.KELVARA.EXAMPLE"; echo $?)" = 1
click Button OK
check "OK closes the alert" wait_for -v $'^window\t1\t'

# Closed through the window system, the alert goes as OK takes it away, and can open again.
click Button Calculate
check "the alert opens again, listed by the main window's caption" wait_for $'^window\t1\t.*\t'"$title"'$'
alert=$(xid 1)
check "the window manager lists the alert" test -n "$alert"
wmctrl -i -c "${alert:-0}"
check "the window manager's close takes the alert away" wait_for -v $'^window\t1\t'
click Button Calculate
check "the next failing Calculate opens the alert again" wait_for $'^window\t1\t'
check "no run-time error after the window manager's close" alive_without_error
xdotool key alt+F4
check "Alt+F4 takes the alert away" wait_for -v $'^window\t1\t'
click Button Calculate
check "the alert opens once more" wait_for $'^window\t1\t'
# Both as one program's messages, handled in order: the main window's while the alert blocks it, then the alert's.
timeout -k 5 30 "$wine" "$probe_exe" close 0
timeout -k 5 30 "$wine" "$probe_exe" close 1
check "WM_CLOSE takes the alert away" wait_for -v $'^window\t1\t'
check "the main window, blocked by the alert, stayed" wait_for $'^window\t0\t'
check "no run-time error after the alert's WM_CLOSE" alive_without_error

# Neither the window manager nor another program resizes or maximises the window.
main=$(xid 0)
size=$(main_size)
check "the main window is 514x282" test "$size" = 514x282
wmctrl -i -r "${main:-0}" -b add,maximized_vert,maximized_horz
xdotool windowsize "${main:-0}" 900 700
timeout -k 5 30 "$wine" "$probe_exe" enlarge 0
check "maximise and resize attempts leave the main window at its size" keeps_size "$size" "${main:-0}"
place=$(xdotool getwindowgeometry "${main:-0}" | grep Position)
wmctrl -i -r "${main:-0}" -b add,fullscreen
check "a full-screen request leaves the main window at its size" keeps_size "$size" "${main:-0}"
# The window manager moves it to the corner first; refused, it comes back and is not marked full-screen.
back_in_place() {
  for _ in $(seq 1 40); do
    if [ "$(xdotool getwindowgeometry "${main:-0}" | grep Position)" = "$place" ] &&
      ! xprop -id "${main:-0}" _NET_WM_STATE | grep -q FULLSCREEN; then
      sleep 0.5
      [ "$(xdotool getwindowgeometry "${main:-0}" | grep Position)" = "$place" ] && return 0
    fi
    sleep 0.25
  done
  return 1
}
check "a full-screen request leaves the main window where it was ($place), not full-screen" back_in_place

# Types four figures into the boxes from the top (tank, top-ups, mileage, price), checks that the boxes hold
# them and leaves a screenshot of the main window in the file named last, for a look: each box must show its
# figure whole, as the other platform shows it.
type_figures() {
  local boxes values=("$1" "$2" "$3" "$4") texts geometry
  mapfile -t boxes < <(windows | awk -F'\t' '$1 == "control" && $2 == "Edit" && $3 == 1 { print $5, $4 }' | sort -n)
  for i in 0 1 2 3; do
    read -r y x <<<"${boxes[$i]:-0 0}"
    xdotool mousemove "$x" "$y" click 1
    wait_for "^focus"$'\tEdit\t'"$x"$'\t'"$y\$" || echo "e2e: the box at $x,$y did not take the focus"
    xdotool type --delay 40 "${values[$i]}"
  done
  texts=$(windows | awk -F'\t' '$1 == "control" && $2 == "Edit" && $3 == 1 { print $5, $6 }' | sort -n | awk '{ print $2 }' | paste -sd' ')
  echo "e2e: the boxes hold: $texts"
  check "the typed figures are in the boxes: ${values[*]}" test "$texts" = "${values[*]}"
  geometry=$(windows | awk -F'\t' '$1 == "window" && $2 == 0 { print $5 "x" $6 "+" $3 "+" $4; exit }')
  import -window root -crop "$geometry" +repage "$5" 2>/dev/null && echo "e2e: screenshot: $5"
}

type_figures 45 3 550 1.95 "$shots/boxes.png"

click Button Calculate
check "the result panel shows" wait_for $'^control\tKelvaraSurface\t1\t[-0-9]+\t[-0-9]+\t676\\.5$'
results=$(shown_texts)
for figure in 676.5 15.0 2.4 '$222.69' '$40.56' '$486.72' 5.5; do
  check "the result panel shows $figure" grep -qxF -- "$figure" <<<"$results"
done

# Each figure is named by its row's caption and holds the figure as its value; the input panel, slid out of
# the window, is not reported as showing, the figures are.
read_out=$(access)
row() { awk -F'\t' -v figure="$1" '$2 == figure { print $3 "|" $4 "|" $6 $7; exit }' <<<"$read_out"; }
for pair in '676.5|Estimated Mileage Attainable:' '15.0|Fuel Efficiency:' '2.4|Monthly Fuel Top-up:' \
  '$222.69|Monthly Fuel Cost:' '$40.56|Monthly Fuel Savings:' '$486.72|Yearly Fuel Savings:' \
  '5.5|A Bottle Of $28 Can Last For'; do
  figure=${pair%%|*} caption=${pair#*|}
  got=$(row "$figure")
  check "a screen reader reads $figure as the value of \"$caption ...\", showing ($got)" \
    awk -v got="$got" -v caption="$caption" -v figure="$figure" \
    'BEGIN { split(got, f, "|"); exit !(index(f[1], caption) == 1 && f[2] == figure && f[3] == "00") }'
done
slid_out=$(awk -F'\t' '$2 == "Full Tank Capacity:" || ($2 == "45" && $5 == 42) { print $6 $7 }' <<<"$read_out" | sort -u)
check "the input panel, slid out of the window, reports itself invisible and off screen ($slid_out)" test "$slid_out" = 11

# A double-click, whose second press is no click on a label.
at=$(centre KelvaraSurface "KELVARA CALCULATOR BY WWW.KELVARA.EXAMPLE")
# shellcheck disable=SC2086
[ -n "$at" ] && xdotool mousemove $at click --repeat 2 --delay 120 1
opened() {
  for _ in $(seq 1 80); do
    grep -qxF "https://www.kelvara.example/" "$work/opened" 2>/dev/null && return 0
    sleep 0.25
  done
  return 1
}
check "the title opens the distributor's site" opened
opened_once() {
  for _ in $(seq 1 12); do
    [ "$(grep -cxF "https://www.kelvara.example/" "$work/opened")" -eq 1 ] || return 1
    sleep 0.25
  done
}
check "one double-click on the title opens it once" opened_once
title_action=$(access | awk -F'\t' '$2 ~ /^KELVARA CALCULATOR/ { print $8; exit }')
check "the title offers a screen reader its press action ($title_action)" test "$title_action" = Press
opened_twice() {
  for _ in $(seq 1 80); do
    [ "$(grep -cxF "https://www.kelvara.example/" "$work/opened")" -eq 2 ] && return 0
    sleep 0.25
  done
  return 1
}
timeout -k 5 30 "$wine" "$probe_exe" press "KELVARA CALCULATOR BY WWW.KELVARA.EXAMPLE"
check "the title's press action opens the distributor's site as a click does" opened_twice

click Button Close
await_exit
check "Close ends the program with status 0" test "$status" = 0

PATH="$work/bin:$PATH" timeout -k 5 180 "$wine" "$exe" >"$work/app.log" 2>&1 &
app=$!
check "the main window opens again" wait_for $'^window\t0\t.*\t'"$title"'$'
type_figures 1499.99 99.99 2999.99 19.99 "$shots/boxes-widest.png"
# The widest figures the ranges accept show from their first character, in the focused box and the others.
starts=$(windows | awk -F'\t' '$1 == "control" && $2 == "Edit" && $3 == 1 { print $7 }' | paste -sd' ')
check "every box shows its figure from the first character (at $starts)" \
  awk -v s="$starts" 'BEGIN { n = split(s, x, " "); for (i = 1; i <= n; i++) if (x[i] < 0) exit 1; exit n != 4 }'
main=$(xid 0)
check "the window manager lists the main window" test -n "$main"
wmctrl -i -c "${main:-0}"
await_exit
check "the window manager's close ends the program with status 0" test "$status" = 0

windows_path=$(timeout -k 5 30 winepath -w "$exe" 2>/dev/null)
version=$(timeout -k 5 30 "$wine" "$probe_exe" version "$windows_path" 2>/dev/null | tr -d '\r')
for line in "ProductName=Kelvara Calculator" "InternalName=Kelvara Calculator" \
  "FileDescription=Calculates fuel consumption after adding Kelvara." "FileVersion=$release" \
  "ProductVersion=$release" "FILEVERSION=$release_numbers" "Translation=0409,1200" "CompanyName=Kelvara" \
  "LegalCopyright=Copyright © 2026 Kelvara Calculator developers"; do
  check "version record: $line" grep -qxF -- "$line" <<<"$version"
done

# The manifest Windows reads before the program starts: its own scaling on every monitor, Windows 10 and 11
# named as supported, no elevation asked for; and not the common controls of version 6, whose themed text
# boxes lose the sunken frame.
manifest=$(timeout -k 5 30 "$wine" "$probe_exe" manifest "$windows_path" 2>/dev/null | tr -d '\r')
for pattern in '<dpiAwareness[^>]*>PerMonitorV2' \
  '<supportedOS Id="\{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a\}"/>' 'requestedExecutionLevel level="asInvoker"'; do
  check "manifest: $pattern" grep -qE -- "$pattern" < <(tr -s ' \n' ' ' <<<"$manifest")
done
check "manifest: no common controls 6" test -n "$manifest" -a -z "$(grep -o 'Common-Controls' <<<"$manifest")"

if [ "$failed" -gt 0 ]; then
  echo "--- calculator output"
  cat "$work/app.log"
fi
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
