# shellcheck shell=bash
# The checks of the Windows driver scripts; sourced after setting `label`, the prefix of every line.
# shellcheck disable=SC2154 # label is set by the sourcing script

passed=0
failed=0

check() { # name, then a command that succeeds when the check holds
  local name=$1
  shift
  if "$@"; then
    echo "$label: PASS $name"
    passed=$((passed + 1))
  else
    echo "$label: FAIL $name"
    failed=$((failed + 1))
  fi
}
