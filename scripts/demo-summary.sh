#!/usr/bin/env bash
# Summarises a demo run from pphost's output lines in DIR/host-output.jsonl:
# frames drawn, frame rate achieved while rendering, events the page got, and
# the snapshots written.
#   scripts/demo-summary.sh DIR
set -euo pipefail
out="${1:?usage: demo-summary.sh DIR}"
lines="$out/host-output.jsonl"

presents=$(grep -c '"kind":"present","t":[0-9]*,"id":"camera"' "$lines" || true)
first=$(grep -o '"kind":"present","t":[0-9]*' "$lines" | head -n 1 | grep -o '[0-9]*$' || echo 0)
last=$(grep -o '"kind":"present","t":[0-9]*' "$lines" | tail -n 1 | grep -o '[0-9]*$' || echo 0)
events=$(grep -o '"msg":{"command":"[A-Z_]*"' "$lines" | sed 's/.*"command":"//; s/"$//' | sort | uniq -c |
  awk '{printf "%s%s x%s", sep, $2, $1; sep=", "}')
errors=$(grep -c '"kind":"error"' "$lines" || true)

echo
echo "== summary"
echo "frames drawn: $presents"
if [ "$presents" -gt 1 ] && [ "$last" -gt "$first" ]; then
  awk -v n="$presents" -v a="$first" -v b="$last" 'BEGIN { printf "frame rate while rendering: %.1f fps\n", (n - 1) * 1000 / (b - a) }'
fi
echo "events seen: ${events:-none}"
grep -o '"kind":"snapshot".*' "$lines" | sed 's/.*"width":\([0-9]*\),"height":\([0-9]*\),"path":"\([^"]*\)".*/snapshot: \3 (\1x\2)/'
echo "errors: $errors"
echo "output: $lines"
[ "$errors" -eq 0 ] && [ "$presents" -gt 0 ]
