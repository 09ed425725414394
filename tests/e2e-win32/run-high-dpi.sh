#!/usr/bin/env bash
# Shows the Windows calculator at 200 % (192 dpi) under Wine and compares its CALCULATE button on the screen
# with the skin's twice-size picture, pixel for pixel. The prefix is back at 96 dpi afterwards.
# Usage: run-high-dpi.sh CALCULATOR.exe PROBE.exe SKIN_DIR   (DISPLAY and WINEPREFIX set, as for run-e2e.sh)
set -uo pipefail

exe=$1
probe_exe=$2
skin=$3
wine=${WINE:-wine}
work=$(mktemp -d)
app=""

label=dpi
# shellcheck source=tests/e2e-win32/lib-check.sh
. "$(dirname "$0")/lib-check.sh"

# Wine takes the screen's density from the registry when its server starts.
set_dpi() { # dots per inch
  local key
  for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    timeout -k 5 60 "$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  done
  timeout -k 5 30 wineserver -k 2>/dev/null
  timeout -k 5 30 wineserver -w 2>/dev/null
}
cleanup() {
  if [ -n "$app" ] && kill -0 "$app" 2>/dev/null; then kill "$app" 2>/dev/null; fi
  set_dpi 96
  rm -rf "$work"
}
trap cleanup EXIT

windows() { timeout -k 5 30 "$wine" "$probe_exe" windows 2>/dev/null | tr -d '\r'; }
main_window() {
  for _ in $(seq 1 60); do
    windows | grep -q $'^window\t0\t.*\tKelvara - Fuel Consumtion Calculator$' && return 0
    sleep 0.25
  done
  return 1
}

set_dpi 192
timeout -k 5 120 "$wine" "$exe" >"$work/app.log" 2>&1 &
app=$!
check "the main window opens" main_window
read -r width height < <(windows | awk -F'\t' '$1 == "window" && $2 == 0 { print $5, $6; exit }')
check "the window is twice its design size" test "${width:-0}x${height:-0}" = 1028x564

# The face is centred on the button, whose centre the probe reports in screen pixels.
face=$skin/face-calculate-normal@2x.png
read -r x y < <(windows | awk -F'\t' '$1 == "control" && $2 == "Button" && $3 == 1 && $6 == "Calculate" { print $4, $5 }')
read -r w h < <(identify -format '%w %h\n' "$face")
shown() { # the face's area on the screen, once drawn
  for _ in $(seq 1 40); do
    import -window root -crop "${w}x${h}+$((${x:-0} - w / 2))+$((${y:-0} - h / 2))" +repage -depth 8 "$work/shown.png" &&
      [ "$(compare -metric AE "$work/shown.png" "$face" null: 2>&1)" = 0 ] && return 0
    sleep 0.25
  done
  return 1
}
check "CALCULATE shows its twice-size picture pixel for pixel" shown
convert "$skin/face-calculate-normal.png" -sample 200% "$work/enlarged.png"
differs() { [ "$(compare -metric AE "$work/shown.png" "$work/enlarged.png" null: 2>&1)" != 0 ]; }
check "... which is not the single-size picture enlarged" differs

echo "dpi: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
