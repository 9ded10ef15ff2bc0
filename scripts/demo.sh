#!/usr/bin/env bash
# Sets everything up (packages, build), then shows the pieces working end to
# end on this machine, without display or GPU:
#   1. frame-publisher writes 30 frames of a 1280x720 I420 stream into a
#      segment at 30 fps, then reads the segment back read-only through the
#      module's own parser and prints the frame it found;
#   2. pphost loads the module and plays the page of examples/hello.jsonl on
#      its virtual clock: a controller, a single-stream and a gallery element.
#
#   scripts/demo.sh [--no-setup]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"

case "${1:-}" in
  -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  --no-setup) ;;
  *) "$here/setup.sh" ;;
esac

bin="$root/build/bin"
segment="/tallwick-demo-$$"

echo "== frame-publisher: 30 frames, 1280x720 I420, 30 fps, rows padded to 1344 bytes"
"$bin/frame-publisher" --name "$segment" --width 1280 --height 720 --format I420 --padding 64 \
  --fps 30 --frames 30 --inspect

echo
echo "== pphost: examples/hello.jsonl on the virtual clock"
"$bin/pphost" --clock virtual --script "$root/examples/hello.jsonl"
echo
echo "demo: done"
