#!/bin/sh
# Builds the installer with wixl, then gives the program its file version in the File table, which wixl
# leaves empty: without it Windows Installer takes the program for an unversioned file.
#   make-msi.sh INSTALLER.wxs OUTPUT.msi VERSION PRODUCT_CODE PROGRAM.exe ICON.ico FILE_VERSION(a.b.c.d)
set -eu
wxs=$(realpath "$1")
output=$(realpath -m "$2")
version=$3
code=$4
program=$(realpath "$5")
icon=$(realpath "$6")
file_version=$7
# wixl finds source files only by paths relative to where it runs, so it runs among copies of them.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$program" "$icon" "$stage/"
(cd "$stage" && wixl --arch x64 --output "$output" -D Version="$version" -D ProductCode="$code" \
  -D Program="$(basename "$program")" -D Icon="$(basename "$icon")" \
  -D SizeKiB=$((($(stat -c %s "$program") + 1023) / 1024)) "$wxs")
msibuild "$output" -q "UPDATE \`File\` SET \`Version\` = '$file_version', \`Language\` = '1033' WHERE \`File\` = 'ProgramExe'"
