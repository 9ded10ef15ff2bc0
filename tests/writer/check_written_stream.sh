#!/usr/bin/env bash
# write_frame publishes one red I420 frame and one green NV12 frame through
# the writer's C interface; pphost then runs a single-stream element on each
# under the virtual clock: both are drawn in their colour and counted.
#   check_written_stream.sh WRITE_FRAME PPHOST SCENARIO EXPECTED [pphost args...]
set -euo pipefail
write_frame="$1" pphost="$2" scenario="$3" expected="$4"
shift 4
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

red=/tallwick-writer-red green=/tallwick-writer-green
cleanup() { rm -f "/dev/shm$red" "/dev/shm$green"; }
trap cleanup EXIT

# Video-range BT.601 red and green; the scenario registers the sizes printed here.
sizes="$("$write_frame" "$red" 160 90 i420 81 90 240) $("$write_frame" "$green" 161 91 nv12 145 54 34)"
[ "$sizes" = "21652 21993" ] || { echo "bufferSize: $sizes, the scenario registers 21652 21993" >&2; exit 1; }
"$here/../e2e/check_scenario.sh" "$pphost" "$scenario" "$expected" "$@"
