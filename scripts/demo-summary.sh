#!/usr/bin/env bash
# Summarises a demo run from pphost's output lines in DIR/host-output.jsonl:
# per element the frames presented and the frame rate while rendering, per
# gallery tile and layout the frames it showed and their rate, the events the
# page got, the pictures written and any errors.
#   scripts/demo-summary.sh DIR
set -euo pipefail
out="${1:?usage: demo-summary.sh DIR}"
lines="$out/host-output.jsonl"
[ -s "$lines" ] || { echo "demo-summary: no host output in $lines" >&2; exit 1; }

# frames shown over the time between the first and the last of them
rate='def rate(n; a; b): if n > 1 and b > a then ((n - 1) * 1000 / (b - a) * 10 | round / 10 | tostring) + " fps" else "-" end;'

echo
echo "== summary"
echo "-- frames presented per element"
jq -rs "$rate"'
  [.[] | select(.kind == "present")] | group_by(.id)[] |
  "\(.[0].id): \(length) frames, \(rate(length; .[0].t; .[-1].t)) (\(.[0].width)x\(.[0].height))"' "$lines"

echo "-- frames shown per gallery tile"
jq -rs "$rate"'
  [.[] | select(.kind == "watched")] | to_entries[] |
  "layout \(.key + 1):",
  (.value.regions[] | "  \(.name): \(.changes) frames, \(rate(.changes; .first_t; .last_t))")' "$lines"

echo "-- events the page got"
jq -rs -f "$(dirname "${BASH_SOURCE[0]}")/page-events.jq" "$lines"

echo "-- pictures"
jq -r 'select(.kind == "snapshot" or .kind == "page") | "\(.path) (\(.width)x\(.height))"' "$lines"

errors=$(jq -s '[.[] | select(.kind == "error")] | length' "$lines")
jq -r 'select(.kind == "error") | "error at line \(.seq): \(.text)"' "$lines"
echo "errors: $errors"
echo "output: $lines"
[ "$errors" -eq 0 ] && jq -se 'any(.[]; .kind == "present")' "$lines" > /dev/null
