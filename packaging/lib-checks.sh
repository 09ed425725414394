# shellcheck shell=bash
# Checks shared by the install-tree and package tests; sourced, not run.

passed=0
failed=0

# The program's file name, and the reverse-DNS id that names its desktop entry, icon, metadata and window class.
program_name=kelvara-calculator
app_id=example.kelvara.Calculator

check() { # description, command...
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: $what" >&2
    fi
}

# Width and height from a PNG's IHDR chunk.
png_size() {
    local bytes
    bytes=$(od -An -tx1 -j0 -N24 "$1" | tr -d ' \n')
    [ "${bytes:0:16}" = 89504e470d0a1a0a ] || return 1
    echo "$((16#${bytes:32:8}))x$((16#${bytes:40:8}))"
}

desktop_key() { # file, key
    sed -n "s/^$2=//p" "$1" | head -n 1
}

# Everything a tree installed under ROOT/usr must hold; the caller sets version from the build.
check_tree() { # root
    local root=$1 prefix=$1/usr size
    local desktop=$prefix/share/applications/$app_id.desktop
    local metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
    check "program installed and executable" test -x "$prefix/bin/$program_name"
    check "desktop entry installed under the id" test -f "$desktop"
    check "desktop entry valid" desktop-file-validate "$desktop"
    check "desktop entry Exec names the installed program" \
        test -x "$prefix/bin/$(desktop_key "$desktop" Exec | cut -d' ' -f1)"
    check "desktop entry's icon is named by the id" test "$(desktop_key "$desktop" Icon)" = "$app_id"
    check "StartupWMClass is the id" test "$(desktop_key "$desktop" StartupWMClass)" = "$app_id"
    for size in 16 24 32 48 64 128 256; do
        check "${size}px icon is a ${size}x${size} PNG" \
            test "$(png_size "$prefix/share/icons/hicolor/${size}x${size}/apps/$(desktop_key "$desktop" Icon).png")" \
            = "${size}x${size}"
    done
    check "metainfo installed under the id" test -f "$metainfo"
    check "metainfo component id is the id" grep -q "<id>$app_id</id>" "$metainfo"
    check "metainfo launches the installed desktop entry" \
        grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"
    check "metainfo releases $version" grep -q "<release version=\"$version\"" "$metainfo"
    check "installed tree passes AppStream validation" appstreamcli validate-tree --no-net "$root"
    local manual=$prefix/share/man/man1/$program_name.1.gz
    check "manual page installed" test -f "$manual"
    check "manual page formats without a warning" \
        test -z "$(MANWIDTH=80 man --warnings -l "$manual" 2>&1 >/dev/null)"
    check "manual page names the program" bash -c "zcat '$manual' | grep -qx '$program_name \\\\- .*'"
    check "copyright file installed" test -f "$prefix/share/doc/$program_name/copyright"
    check "changelog installed" test -f "$prefix/share/doc/$program_name/changelog.gz"
}
