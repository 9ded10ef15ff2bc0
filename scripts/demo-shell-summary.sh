#!/usr/bin/env bash
# Summarises a `demo.sh --shell` run from tallwick-shell's output lines in
# DIR/shell-output.jsonl: per element and per gallery tile the frames it drew
# and their rate between the page's two GET_FRAME_COUNT requests, the events
# the page got, the pictures written, and any errors.
#   scripts/demo-shell-summary.sh DIR
set -euo pipefail
out="${1:?usage: demo-shell-summary.sh DIR}"
lines="$out/shell-output.jsonl"
[ -s "$lines" ] || { echo "demo-shell-summary: no shell output in $lines" >&2; exit 1; }

echo
echo "== summary (tallwick-shell)"
echo "-- frames drawn per element and tile, between the two GET_FRAME_COUNT replies"
jq -rs '
  [.[] | select(.kind == "post" and .msg.response == "GET_FRAME_COUNT")] | group_by(.id)[] |
  select(length >= 2) | .[0].id as $id | .[0].msg.data as $a | .[-1].msg.data as $b |
  "\($id):", ($b | keys[] as $k |
    ($b[$k].frameCount - ($a[$k].frameCount // 0)) as $n | ($b[$k].timestamp - ($a[$k].timestamp // 0)) as $ms |
    "  \($k): \($b[$k].frameCount) frames in all, \($n) in \($ms) ms: " +
    (if $ms > 0 then (($n * 10000 / $ms | round) / 10 | tostring) + " fps" else "-" end) +
    " (\($b[$k].width)x\($b[$k].height) into \($b[$k].viewWidth)x\($b[$k].viewHeight))")' "$lines"

echo "-- events the page got"
jq -rs -f "$(dirname "${BASH_SOURCE[0]}")/page-events.jq" "$lines"

echo "-- pictures"
jq -r 'select(.kind == "screenshot") | "\(.path)\(if .error then " (" + .error + ")" else "" end)"' "$lines"
echo "-- module log: $(jq -r 'select(.kind == "shell") | .log_dir' "$lines")/tallwick-log/"

echo "-- errors"
errors="$(jq -r '
  select((.kind == "post" and .msg.command == "ERROR") or (.kind == "post" and (.msg.error // 0) != 0)
         or .kind == "error" or .kind == "fail" or .kind == "page-error" or .kind == "renderer-died"
         or (.kind == "console" and .level == "error" and (.text | test("PERFORMANCE WARNING") | not))
         or (.kind == "exit" and .status != 0)) | tojson' "$lines")"
if [ -n "$errors" ]; then
  echo "$errors"
  exit 1
fi
echo "none"
