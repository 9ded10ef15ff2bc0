#!/usr/bin/env bash
# Installs what only the browser tests use: Debian's chromium, Node.js and npm
# (when there is no node yet), and the test driver playwright-core from npm at
# the version tests/browser/package-lock.json pins. Safe to run again; needs
# root (or sudo) for apt-get.
#
#   scripts/setup-browser-tests.sh
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
case "${1:-}" in
  -h|--help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  "") ;;
  *) echo "setup-browser-tests: unknown argument: $1" >&2; exit 2 ;;
esac

packages=(chromium)
command -v node > /dev/null || packages+=(nodejs)
command -v npm > /dev/null || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup-browser-tests: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

lock="$root/tests/browser/package-lock.json"
installed="$root/tests/browser/node_modules/.package-lock.json"
if [ ! -f "$installed" ] || [ "$lock" -nt "$installed" ]; then
  echo "setup-browser-tests: npm ci (tests/browser)"
  (cd "$root/tests/browser" && npm ci --no-audit --no-fund --loglevel=error)
else
  echo "setup-browser-tests: playwright-core present"
fi
