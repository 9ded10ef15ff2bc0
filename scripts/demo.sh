#!/usr/bin/env bash
# The main job, end to end, on this machine (no display or GPU needed):
# frame-publisher writes a 1280x720 I420 moving pattern at 30 fps into a
# shared-memory segment; pphost loads the module and plays the page of
# examples/demo.jsonl.in in real time: a controller element registers the
# segment, a 640x360 single-stream element draws it for four seconds. PNG
# snapshots of what the element shows, the host's output and the module's
# log go into the output folder; a summary closes the run.
#
#   scripts/demo.sh [--no-setup] [--out DIR]     (default DIR: demo-out)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"

setup=1
out="$root/demo-out"
while [ $# -gt 0 ]; do
  case "$1" in
    --no-setup) setup=0 ;;
    --out) out="$2"; shift ;;
    -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "demo: unknown argument: $1" >&2; exit 2 ;;
  esac
  shift
done
[ "$setup" -eq 0 ] || "$here/setup.sh"

bin="$root/build/bin"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
rm -f "$out"/*.png "$out"/host-output.jsonl
segment="/tallwick-demo-$$"

echo "== frame-publisher: 1280x720 I420 moving bars at 30 fps into $segment"
"$bin/frame-publisher" --stream "name=$segment;uid=u1;sid=s1;width=1280;height=720;format=I420;padding=64" \
  --fps 30 --seconds 8 > "$out/publisher.txt" 2> "$out/publisher.log" &
publisher=$!
trap 'kill "$publisher" 2>/dev/null || true; wait "$publisher" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -s "$out/publisher.txt" ] && break
  sleep 0.1
done
diffs="$(head -n 1 "$out/publisher.txt")"
[ -n "$diffs" ] || { echo "demo: frame-publisher did not start" >&2; cat "$out/publisher.log" >&2; exit 1; }
echo "segment list: $diffs"

sed -e "s|@DIFFS@|$diffs|" -e "s|@OUT@|$out|g" "$root/examples/demo.jsonl.in" > "$out/demo.jsonl"
echo "== pphost: the page of examples/demo.jsonl.in, real clock, 4 s of video"
"$bin/pphost" --clock real --trace-present --script "$out/demo.jsonl" > "$out/host-output.jsonl" 2> "$out/host-stderr.log"
"$here/demo-summary.sh" "$out"
