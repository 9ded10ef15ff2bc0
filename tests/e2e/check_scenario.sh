#!/usr/bin/env bash
# Runs pphost on a scenario under the virtual clock and compares its output
# with the expected lines. Object addresses and the process id, which change
# from run to run, are masked on both sides.
#   check_scenario.sh PPHOST SCENARIO EXPECTED [pphost args...]
# TALLWICK_LAUNCHER, when set, is the command that runs PPHOST (Wine's loader
# for a Windows build: wine64 for x86_64, 32-bit Wine for i686).
set -euo pipefail
pphost="$1" scenario="$2" expected="$3"
shift 3
read -ra launcher <<< "${TALLWICK_LAUNCHER:-}"
actual="$(mktemp)"
trap 'rm -f "$actual"' EXIT
status=0
mask() { sed -E 's/0x[0-9a-f]+/0xADDR/g; s/process id:[0-9]+/process id:PID/g'; }
"${launcher[@]}" "$pphost" --clock virtual --script "$scenario" "$@" 2>/dev/null | mask > "$actual" || status=$?
if ! diff -u <(mask < "$expected") "$actual"; then
  echo "scenario $scenario: output differs from $expected" >&2
  exit 1
fi
[ "$status" -eq 0 ] || { echo "scenario $scenario: pphost exited with $status" >&2; exit 1; }
