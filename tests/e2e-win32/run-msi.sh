#!/usr/bin/env bash
# Installs the calculator from its MSI under Wine the way a user or an administrator would (quietly, with
# msiexec), checks the Start menu shortcut and the entry in the system's list of programs, runs the
# end-to-end checks on the installed program, replaces it with a later version built from the same source,
# uninstalls, and checks that the prefix's files and registry are as they were before.
# Usage: run-msi.sh INSTALLER.msi PROBE.exe INSTALLER.wxs PROGRAM.exe ICON.ico VERSION
#        (DISPLAY and WINEPREFIX set, as for run-e2e.sh)
set -uo pipefail

msi=$1
probe_exe=$2
wxs=$(realpath "$3")
program=$(realpath "$4")
icon=$(realpath "$5")
release=${6:?the version the build gave the installer}
# The next version up: 1.00 is followed by 1.01.
later=$(awk -F. '{ printf "%d.%02d", $1, $2 + 1 }' <<<"$release")
here=$(cd "$(dirname "$0")" && pwd)
make_msi=$here/../../packaging/windows/make-msi.sh
wine=${WINE:-wine}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

label=msi
# shellcheck source=tests/e2e-win32/lib-check.sh
. "$(dirname "$0")/lib-check.sh"

msiexec() { timeout -k 5 180 "$wine" msiexec "$@" >>"$work/msiexec.log" 2>&1; }
property() { # msi, name
  msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v name="$2" '$1 == name { print $2 }'
}
drive_c=$WINEPREFIX/drive_c
# Windows Installer's own cache folder, which every Windows has, is made empty by the first install here.
files() { find "$drive_c" -mindepth 1 ! -path "$drive_c/windows/Installer" -print | sort; }
registry() {
  for hive in 'HKLM\Software' 'HKCU\Software'; do
    timeout -k 5 120 "$wine" reg query "$hive" /s 2>/dev/null | tr -d '\r'
  done
}
uninstall_key() { echo "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1"; }
uninstall_value() { # product code, value name
  timeout -k 5 30 "$wine" reg query "$(uninstall_key "$1")" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print; exit }'
}
shortcuts() { find "$drive_c" -path '*/Start Menu/Programs/Kelvara Calculator.lnk'; }

code=$(property "$msi" ProductCode)
upgrade_code=$(property "$msi" UpgradeCode)
check "the installer has a product code" test -n "$code"
check "the installer has an upgrade code" test -n "$upgrade_code"
check "the installer is version $release" test "$(property "$msi" ProductVersion)" = "$release"
check "the installer names the publisher" test "$(property "$msi" Manufacturer)" = Kelvara
# Versioned, so Windows Installer compares versions rather than dates when it replaces the program.
exe_version=$(awk -F. '{ printf "%d.%d.0.0", $1, $2 }' <<<"$release")
check "the installer gives the program its file version $exe_version" \
  test "$(msiinfo export "$msi" File | tr -d '\r' | awk -F'\t' '$3 ~ /kelvara-calculator\.exe$/ { print $5 }')" = "$exe_version"

files >"$work/files-before"
registry >"$work/registry-before"

check "msiexec /i installs quietly" msiexec /i "$(winepath -w "$msi" 2>/dev/null)" /qn
installed=$(winepath -u 'C:\Program Files\Kelvara Calculator\kelvara-calculator.exe' 2>/dev/null)
check "the program is in Program Files" cmp -s "$installed" "$program"
mapfile -t links < <(shortcuts)
check "one Start menu shortcut" test "${#links[@]}" -eq 1
# A shell link keeps its target's full path as plain text and its icon's path as UTF-16 text.
check "the shortcut starts the installed program" \
  grep -qxF 'C:\Program Files\Kelvara Calculator\kelvara-calculator.exe' < <(strings -a "${links[0]:-/dev/null}")
check "the shortcut carries the logo" grep -q 'logo\.ico$' < <(strings -a -el "${links[0]:-/dev/null}")
check "the list of programs shows Kelvara Calculator" test "$(uninstall_value "$code" DisplayName)" = "Kelvara Calculator"
check "the list of programs shows version $release" test "$(uninstall_value "$code" DisplayVersion)" = "$release"
check "the list of programs shows the publisher" test "$(uninstall_value "$code" Publisher)" = Kelvara
check "the list of programs can uninstall it" \
  test "$(uninstall_value "$code" UninstallString)" = "MsiExec.exe /X$code"
check "the list of programs shows where it is" \
  test "$(uninstall_value "$code" InstallLocation)" = 'C:\Program Files\Kelvara Calculator\'
# In KiB, and at least the program's own size.
size_kib=$(( $(stat -c %s "$program") / 1024 ))
estimated=$(( $(uninstall_value "$code" EstimatedSize) ))
check "the list of programs shows its size ($estimated KiB)" test "$estimated" -ge "$size_kib"

# The installed program, driven like the single executable.
"$here/run-e2e.sh" "$installed" "$probe_exe" "$release" >"$work/e2e.log" 2>&1
sed 's/^e2e:/msi: installed program:/' "$work/e2e.log" | grep -v ' PASS ' || true
check "the installed program passes the end-to-end run" grep -qE '^e2e: [0-9]+ passed, 0 failed$' "$work/e2e.log"

# A later version from the same source, with a product code of its own, replaces this one.
later_code=$(tr '[:lower:]' '[:upper:]' </proc/sys/kernel/random/uuid)
file_version=$(msiinfo export "$msi" File | tr -d '\r' | awk -F'\t' '$3 ~ /kelvara-calculator\.exe$/ { print $5 }')
if "$make_msi" "$wxs" "$work/later.msi" "$later" "$later_code" "$program" "$icon" "$file_version" >"$work/wixl.log" 2>&1; then
  check "msiexec /i of version $later installs quietly" msiexec /i "$(winepath -w "$work/later.msi" 2>/dev/null)" /qn
  check "version $later is listed" test "$(uninstall_value "{$later_code}" DisplayVersion)" = "$later"
  check "version $release is no longer listed" test -z "$(uninstall_value "$code" DisplayName)"
  mapfile -t links < <(shortcuts)
  check "still one Start menu shortcut" test "${#links[@]}" -eq 1
  check "the program is still in Program Files" test -f "$installed"
  code="{$later_code}"
else
  check "wixl builds version $later from the same source" false
  cat "$work/wixl.log"
fi

check "msiexec /x uninstalls quietly" msiexec /x "$code" /qn
check "the list of programs no longer shows it" test -z "$(uninstall_value "$code" DisplayName)"

# A folder of the user's choice is kept by the upgrade and emptied by the uninstall.
custom='C:\Apps\Kelvara Calc'
custom_exe=$(winepath -u "$custom\\kelvara-calculator.exe" 2>/dev/null)
code=$(property "$msi" ProductCode)
check "msiexec /i INSTALLDIR=\"$custom\" installs quietly" msiexec /i "$(winepath -w "$msi" 2>/dev/null)" /qn "INSTALLDIR=$custom"
check "the program is in $custom" cmp -s "$custom_exe" "$program"
check "nothing goes to Program Files" test ! -e "$installed"
check "the list of programs shows $custom" test "$(uninstall_value "$code" InstallLocation)" = "$custom\\"
if [ -f "$work/later.msi" ]; then
  check "the upgrade to $later installs quietly" msiexec /i "$(winepath -w "$work/later.msi" 2>/dev/null)" /qn
  check "the upgrade keeps the program in $custom" cmp -s "$custom_exe" "$program"
  check "the upgrade puts nothing in Program Files" test ! -e "$installed"
  check "the list of programs shows $custom after the upgrade" \
    test "$(uninstall_value "{$later_code}" InstallLocation)" = "$custom\\"
  code="{$later_code}"
fi
check "msiexec /x uninstalls from $custom quietly" msiexec /x "$code" /qn
check "the uninstall removes the program from $custom" test ! -e "$custom_exe"
# C:\Apps, made on the way to it, stays, as Windows Installer leaves it.
rmdir "$(dirname "$(dirname "$custom_exe")")" 2>/dev/null

files >"$work/files-after"
check "uninstalling leaves no file or folder behind" diff "$work/files-before" "$work/files-after"
registry >"$work/registry-after"
# Windows Installer keeps its own bookkeeping keys, emptied, once it has installed anything, and Wine notes
# display settings for the programs it has shown.
changed=$(diff "$work/registry-before" "$work/registry-after" | grep '^[<>]' | grep -v '^> *$' |
  grep -Ev '^> HKEY_LOCAL_MACHINE\\Software\\(Classes\\Installer|Microsoft\\Windows\\CurrentVersion\\Installer)(\\|$)' |
  grep -Ev '^> HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters(\\|$)')
check "uninstalling leaves no registry value behind" test -z "$changed"
[ -z "$changed" ] || head -n 20 <<<"$changed"

if [ "$failed" -gt 0 ]; then
  echo "--- msiexec output"
  cat "$work/msiexec.log"
fi
echo "msi: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
