#!/usr/bin/env bash
# Runs the browser tests: the meeting page or the page client in Debian's
# chromium, headless, against the module through `pphost serve`.
# scripts/setup.sh --browser installs chromium and the test driver
# (playwright-core, from npm).
#
#   tests/browser/run.sh PPHOST FRAME_PUBLISHER MODULE WEB_ROOT OUT_DIR [TEST_FILE...] [--node-test-option...]
#
# TEST_FILEs are in this folder (default: meeting.test.mjs); arguments that
# start with "-" go to node --test (--test-name-pattern=..., one word each).
#
# Without chromium or the driver the tests are skipped (exit 77), unless
# TALLWICK_BROWSER_TESTS=required, as scripts/test.sh sets it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ $# -ge 5 ] || { sed -n '7p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
mkdir -p "$5"
export PPHOST="$(realpath "$1")" FRAME_PUBLISHER="$(realpath "$2")" TALLWICK_MODULE="$(realpath "$3")" \
  WEB_ROOT="$(realpath "$4")" OUT_DIR="$(realpath "$5")"
shift 5
files=()
options=()
for arg in "$@"; do
  case "$arg" in
    -*) options+=("$arg") ;;
    *) files+=("$arg") ;;
  esac
done
[ ${#files[@]} -gt 0 ] || files=(meeting.test.mjs)

missing=()
command -v node > /dev/null || missing+=(node)
[ -x "${CHROMIUM:-/usr/bin/chromium}" ] || missing+=(chromium)
[ -d "$here/node_modules/playwright-core" ] || missing+=(playwright-core)
if [ ${#missing[@]} -gt 0 ]; then
  echo "browser tests: missing ${missing[*]}; scripts/setup.sh --browser installs them" >&2
  [ "${TALLWICK_BROWSER_TESTS:-}" = "required" ] && exit 1
  exit 77
fi
cd "$here"
exec node --test --test-reporter=spec "${options[@]}" "${files[@]}"
