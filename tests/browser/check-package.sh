#!/usr/bin/env bash
# Installs the page client as a page project does, `npm install <checkout>/web`,
# into a new project in a temporary folder: offline, with an empty npm cache,
# so from the local path alone. Twice: as npm links a folder by default, and
# as it copies one with --install-links (the default of npm 9.0 to 9.3,
# Debian 12's among them), which takes only the package's "files". Then node
# imports "tallwick-render", and tsc (the TypeScript of package-lock.json
# here) checks package-check/page.ts, which imports the client by its package
# name, under the two module resolutions page projects use.
#
# Without node, npm or TypeScript the check is skipped (exit 77), unless
# TALLWICK_BROWSER_TESTS=required, as scripts/test.sh sets it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
web="$(cd "$here/../../web" && pwd)"
tsc="$here/node_modules/typescript/bin/tsc"
if ! command -v node > /dev/null || ! command -v npm > /dev/null || [ ! -f "$tsc" ]; then
  echo "package check: missing node, npm or typescript; scripts/setup.sh --browser installs them" >&2
  [ "${TALLWICK_BROWSER_TESTS:-}" = "required" ] && exit 1
  exit 77
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for links in false true; do
  project="$work/page-links-$links"
  mkdir -p "$project"
  cp "$here/package-check/page.ts" "$here/package-check/tsconfig."*.json "$project/"
  echo '{ "name": "page", "private": true, "type": "module" }' > "$project/package.json"
  (cd "$project" && npm install --offline --cache "$work/npm-cache" --install-links="$links" --ignore-scripts \
    --no-audit --no-fund --loglevel=error "$web")
  installed="$project/node_modules/tallwick-render"
  if [ "$links" = true ]; then
    [ ! -L "$installed" ] || { echo "--install-links=true linked the folder instead of copying it" >&2; exit 1; }
    # What a copy holds is the package's "files" and package.json, nothing else.
    actual="$(cd "$installed" && find . -type f | sort | tr '\n' ' ')"
    expected="./package.json ./plugin-element.d.ts ./plugin-element.js ./tallwick-render.d.ts ./tallwick-render.js "
    [ "$actual" = "$expected" ] || { echo "installed files: $actual; expected: $expected" >&2; exit 1; }
  fi
  # node finds the client through the package's "exports".
  (cd "$project" && node --input-type=module -e '
    const client = await import("tallwick-render");
    if (typeof client.TallwickClient !== "function" || client.Commands.INIT !== "INIT") process.exit(1);')
  for config in "$project"/tsconfig.*.json; do
    node "$tsc" --noEmit -p "$config"
    echo "npm install (install-links=$links), tsc -p $(basename "$config"): no errors"
  done
done
