#!/usr/bin/env bash
# The gallery example needs its two segments: frame-publisher writes one
# solid-colour frame into each and leaves them, then the scenario runs as
# every other one does, and the segments are removed.
#   check_gallery_scenario.sh PUBLISHER PPHOST SCENARIO EXPECTED [pphost args...]
set -euo pipefail
publisher="$1"
shift
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
segments=(/tallwick-example-red /tallwick-example-green)
trap 'for s in "${segments[@]}"; do rm -f "/dev/shm$s"; done' EXIT
"$publisher" --frames 1 --keep \
  --stream "name=${segments[0]};uid=u1;sid=s1;width=320;height=180;pattern=solid:255,0,0" \
  --stream "name=${segments[1]};uid=u2;sid=s2;width=320;height=180;pattern=solid:0,255,0" > /dev/null 2>&1
"$here/check_scenario.sh" "$@"
