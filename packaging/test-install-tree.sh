#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks what landed there.
# Usage: test-install-tree.sh BUILD_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=packaging/lib-checks.sh
. "$here/lib-checks.sh"

version=$(cat "$1/kelvara-version.txt")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

if cmake --install "$1" --prefix "$root/usr" >"$root/install.log" 2>&1; then
    check_tree "$root"
else
    cat "$root/install.log" >&2
    failed=$((failed + 1))
fi
echo "install-tree: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
