#!/usr/bin/env bash
# Fuzzes the savings logic for a bounded time, on a scratch copy of the seed corpus so that the committed
# corpus never changes. Exits non-zero on any crash, trap or sanitizer report.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 FUZZ_BINARY SECONDS" >&2
  exit 2
fi
binary=$(realpath "$1")
seconds=$2
seeds="$(cd "$(dirname "$0")" && pwd)/corpus"

work=$(mktemp -d "${TMPDIR:-/tmp}/fuzz-savings.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
cp -R "$seeds/." "$work/corpus/"

status=0
(cd "$work" && "$binary" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" corpus) >"$work/log" 2>&1 || status=$?

# UBSan may be built to recover; a report alone must fail the run.
if grep -qE 'runtime error:|ERROR: (Address|Leak|Undefined)Sanitizer|==[0-9]+==ERROR' "$work/log"; then
  [ "$status" -ne 0 ] || status=1
fi

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
if [ "$status" -ne 0 ]; then
  tail -n 60 "$work/log" >&2
  # The scratch folder goes at exit; the inputs stay beside the fuzzer for a person to replay.
  kept="$(dirname "$binary")/crashes"
  mkdir -p "$kept"
  for crash in "$work"/artifacts/*; do
    [ -e "$crash" ] || continue
    cp "$crash" "$kept/"
    echo "crashing input $kept/$(basename "$crash") (replay: $binary $kept/$(basename "$crash")):" >&2
    od -c "$crash" | head -n 20 >&2
  done
  echo "fuzz: failed after ${runs:-?} runs" >&2
  exit "$status"
fi
echo "fuzz: ${runs:-0} runs in ${seconds} s, no crash or sanitizer report"
