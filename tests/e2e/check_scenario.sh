#!/usr/bin/env bash
# Runs pphost on a scenario under the virtual clock and compares its output
# with the expected lines.
#   check_scenario.sh PPHOST SCENARIO EXPECTED [pphost args...]
set -euo pipefail
pphost="$1" scenario="$2" expected="$3"
shift 3
actual="$(mktemp)"
trap 'rm -f "$actual"' EXIT
status=0
"$pphost" --clock virtual --script "$scenario" "$@" > "$actual" 2>/dev/null || status=$?
if ! diff -u "$expected" "$actual"; then
  echo "scenario $scenario: output differs from $expected" >&2
  exit 1
fi
[ "$status" -eq 0 ] || { echo "scenario $scenario: pphost exited with $status" >&2; exit 1; }
