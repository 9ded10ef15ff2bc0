#!/usr/bin/env bash
# The main job, end to end, on this machine (no display or GPU needed): a
# small meeting. frame-publisher writes nine camera streams at 30 fps into
# shared-memory segments (user 1 at 1280x720, the others 640x360, each its own
# colour with its number and name drawn in). pphost loads the module and plays
# the page of scenarios/demo.jsonl.in in real time: a controller element
# registers the segments, a 640x360 single-stream element shows the speaker
# (user 1) and a 1280x720 gallery shows all nine as a 3x3 layout with cropped,
# fitted and mirrored tiles; after two seconds the page sends a new layout in
# which user 8 leaves and user 9 moves. Snapshots of both elements and of the
# whole page, the host's output and the module's log go into the output
# folder; a summary closes the run.
#
# With --shell the same meeting plays in tallwick-shell, a real Chromium
# Pepper host (Qt WebEngine) that loads the module itself: web/meeting.html
# with a controller, the speaker and a 3x3 gallery whose layout changes after
# two seconds; screenshots at 2 s and 4 s, the shell's output lines and the
# module's log go into the output folder, and a summary closes the run
# (frames and frame rate per element and tile from GET_FRAME_COUNT, the
# events, the pictures, the errors). No display is needed: the shell starts
# its own X server. Add --window to watch it in a window on your display.
#
# With --browser the same streams go on until Ctrl-C, and `pphost serve`
# serves web/meeting.html for them: open the address it prints in a browser.
#
# With --writer (beside --shell or --browser) the meeting has one stream
# instead, from examples/writer-demo.c: a program that publishes through the
# frame-writer library's C interface alone, as a media process would.
#
#   scripts/demo.sh [--no-setup] [--out DIR]     (default DIR: demo-out)
#   scripts/demo.sh --shell [--writer] [--window] [--no-setup] [--out DIR]
#   scripts/demo.sh --browser [--writer] [--port N]   (default N: 8080)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"

setup=1
out="$root/demo-out"
browser=0
shell=0
window=0
writer=0
port=8080
while [ $# -gt 0 ]; do
  case "$1" in
    --no-setup) setup=0 ;;
    --out) out="$2"; shift ;;
    --browser) browser=1 ;;
    --shell) shell=1 ;;
    --window) window=1 ;;
    --writer) writer=1 ;;
    --port) port="$2"; shift ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) echo "demo: unknown argument: $1" >&2; exit 2 ;;
  esac
  shift
done
if [ "$writer" -eq 1 ] && [ "$browser" -eq 0 ] && [ "$shell" -eq 0 ]; then
  echo "demo: --writer goes with --shell or --browser (the pphost demo's page is written for nine streams)" >&2
  exit 2
fi
[ "$setup" -eq 0 ] || "$here/setup.sh"

bin="$root/build/bin"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
rm -f "$out"/*.png "$out"/host-output.jsonl "$out"/shell-output.jsonl
prefix="/tallwick-demo-$$-"

# The meeting's nine camera streams (user, size and format, colour, label)
mapfile -t streams < <(grep -v '^#' "$root/scenarios/meeting-streams.txt")
args=()
for s in "${streams[@]}"; do
  uid="${s%%;*}"
  args+=(--stream "name=$prefix$uid;uid=$uid;sid=s${uid#u};${s#*;}")
done

seconds=10
[ "$browser" -eq 0 ] || seconds=0
if [ "$writer" -eq 1 ]; then
  echo "== writer-demo: one 640x360 I420 stream at 30 fps through the frame-writer library"
  "$bin/writer-demo" --name "${prefix}u1" --uid u1 --sid s1 --seconds "$seconds" > "$out/publisher.txt" \
    2> "$out/publisher.log" &
else
  echo "== frame-publisher: nine camera streams at 30 fps (u1 1280x720, u2..u9 640x360; u3 NV12)"
  "$bin/frame-publisher" "${args[@]}" --fps 30 --seconds "$seconds" > "$out/publisher.txt" 2> "$out/publisher.log" &
fi
publisher=$!
trap 'kill "$publisher" 2>/dev/null || true; wait "$publisher" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -s "$out/publisher.txt" ] && break
  sleep 0.1
done
diffs="$(head -n 1 "$out/publisher.txt")"
[ -n "$diffs" ] || { echo "demo: frame-publisher did not start" >&2; cat "$out/publisher.log" >&2; exit 1; }
echo "segments: $(jq -r 'map(.path) | join(" ")' <<< "$diffs")"

if [ "$browser" -eq 1 ]; then
  address="http://127.0.0.1:$port/meeting.html?diffs=$(jq -rn --arg d "$diffs" '$d | @uri')"
  echo "== pphost serve: the meeting page, real clock; open this address in a browser (Ctrl-C ends the demo):"
  echo
  echo "  $address"
  echo
  "$bin/pphost" serve --port "$port" 2> "$out/host-stderr.log" > "$out/host-output.txt" || {
    echo "demo: pphost serve stopped; see $out/host-stderr.log" >&2
    exit 1
  }
  exit 0
fi

if [ "$shell" -eq 1 ]; then
  # Times in the page count from the segments' registration, the
  # screenshots and --seconds from the page's load: both about the same.
  query="diffs=$(jq -rn --arg d "$diffs" '$d | @uri')&layoutAfter=2000&countAt=1000,5000"
  display_args=(--headless --seconds 7.5)
  [ "$window" -eq 0 ] || display_args=(--seconds 60)
  echo "== tallwick-shell: web/meeting.html in Chromium's own Pepper host, real clock"
  status=0
  "$root/build/bin/tallwick-shell" "${display_args[@]}" --size 1960x800 --log-dir "$out/shell-logs" \
    --screenshot "2:$out/shell-2s.png" --screenshot "4:$out/shell-4s.png" \
    "$root/web/meeting.html?$query" > "$out/shell-output.jsonl" 2> "$out/shell-stderr.log" || status=$?
  "$here/demo-shell-summary.sh" "$out" || status=1
  exit "$status"
fi

sed -e "s|@DIFFS@|$diffs|" -e "s|@OUT@|$out|g" "$root/scenarios/demo.jsonl.in" > "$out/demo.jsonl"
echo "== pphost: the meeting page of scenarios/demo.jsonl.in, real clock, 2 s + 2 s of video"
status=0
"$bin/pphost" --clock real --trace-present --script "$out/demo.jsonl" > "$out/host-output.jsonl" \
  2> "$out/host-stderr.log" || status=$?
"$here/demo-summary.sh" "$out" || status=1
exit "$status"
