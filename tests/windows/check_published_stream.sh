#!/usr/bin/env bash
# frame-publisher writes one 160x90 frame into a named file mapping and keeps
# the mapping open (a Windows mapping goes away with its last handle); pphost
# then runs a single-stream element on it under the virtual clock: the module
# opens and parses the frame (NEED_RESIZE with its size and strides), reports
# NO_FRAME when no new frame follows, and counts one frame. The host offers
# no "PPB_OpenGLES2;1.0", so the element also reports error 18 (GL binding).
#   check_published_stream.sh PUBLISHER PPHOST SCENARIO EXPECTED
# TALLWICK_LAUNCHER runs both programs (wine64, or 32-bit Wine for i686).
set -euo pipefail
publisher="$1" pphost="$2" scenario="$3" expected="$4"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
read -ra launcher <<< "${TALLWICK_LAUNCHER:-}"

work="$(mktemp -d)"
publisher_pid=""
cleanup() {
  [ -z "$publisher_pid" ] || kill "$publisher_pid" 2>/dev/null || true
  [ -z "$publisher_pid" ] || wait "$publisher_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The publisher prints the segment list just before it writes the first frame.
mkfifo "$work/diffs"
"${launcher[@]}" "$publisher" --fps 10 --seconds 120 \
  --stream "name=/tallwick-windows-camera;uid=u1;sid=s1;width=160;height=90;pattern=solid:255,0,0;stop-after=1" \
  > "$work/diffs" 2> "$work/publisher.err" &
publisher_pid=$!
if ! read -r -t 60 diffs < "$work/diffs"; then
  echo "frame-publisher did not start:" >&2
  cat "$work/publisher.err" >&2
  exit 1
fi
echo "published: $diffs"
"$here/../e2e/check_scenario.sh" "$pphost" "$scenario" "$expected"
