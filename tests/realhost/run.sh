#!/usr/bin/env bash
# Runs one file of the real-host tests: the module in tallwick-shell (Qt
# WebEngine's Chromium under a virtual X server), held against pphost.
# scripts/setup.sh --shell installs Qt WebEngine, Xvfb and the test's npm
# package (pngjs, at the version package-lock.json pins).
#
#   tests/realhost/run.sh SHELL PPHOST FRAME_PUBLISHER MODULE WEB_ROOT SCENARIOS OUT_DIR TEST_FILE
#
# Without Xvfb, node or the npm package the tests are skipped (exit 77),
# unless TALLWICK_REALHOST_TESTS=required, as scripts/test.sh sets it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ $# -eq 8 ] || { sed -n '7p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
mkdir -p "$7"
export TALLWICK_SHELL="$(realpath "$1")" PPHOST="$(realpath "$2")" FRAME_PUBLISHER="$(realpath "$3")" \
  TALLWICK_MODULE="$(realpath "$4")" WEB_ROOT="$(realpath "$5")" SCENARIOS="$(realpath "$6")" OUT_DIR="$(realpath "$7")"
test_file="$8"

missing=()
command -v node > /dev/null || missing+=(node)
command -v Xvfb > /dev/null || missing+=(xvfb)
[ -d "$here/node_modules/pngjs" ] || missing+=(pngjs)
if [ ${#missing[@]} -gt 0 ]; then
  echo "real-host tests: missing ${missing[*]}; scripts/setup.sh --shell installs them" >&2
  [ "${TALLWICK_REALHOST_TESTS:-}" = "required" ] && exit 1
  exit 77
fi
# Each shell starts its own X server; a DISPLAY from outside is not used.
unset DISPLAY
cd "$here"
exec node --test --test-reporter=spec "$test_file"
