#!/usr/bin/env bash
# Type-checks the page client's declarations (web/tallwick-render.d.ts) with
# tsc --noEmit against the TypeScript example page and tests/browser/types/
# (tsconfig.json beside this script). scripts/setup.sh --browser installs
# TypeScript at the version package-lock.json pins.
#
# Without node or TypeScript the check is skipped (exit 77), unless
# TALLWICK_BROWSER_TESTS=required, as scripts/test.sh sets it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tsc="$here/node_modules/typescript/bin/tsc"
if ! command -v node > /dev/null || [ ! -f "$tsc" ]; then
  echo "type check: missing node or typescript; scripts/setup.sh --browser installs them" >&2
  [ "${TALLWICK_BROWSER_TESTS:-}" = "required" ] && exit 1
  exit 77
fi
node "$tsc" --noEmit -p "$here/tsconfig.json"
echo "tsc --noEmit: no errors"
