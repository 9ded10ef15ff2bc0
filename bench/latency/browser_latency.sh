#!/usr/bin/env bash
# The speaker of web/meeting.html in headless chromium through `pphost serve`:
# pictures the tab draws / presents of its element, distinct frames shown,
# and publish-to-pixels latency, for 1280x720 I420 at 30 fps into the 640x360
# element, real clock, one run per way pictures go to the tab, one after the
# other: jpeg or rgba, scaled to the element (/view, the default) or as
# presented (/full). First, as the baseline, stream_latency's 720p30 case:
# the same frames into the same element with no browser, publish to present.
#
#   bench/latency/browser_latency.sh [--build DIR] [--seconds N] [--variants jpeg,rgba,jpeg/full,...] [--no-baseline]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$root/build"
seconds=20
baseline=1
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift ;;
    --seconds) seconds="$2"; shift ;;
    --variants) args+=("$1" "$2"); shift ;;
    --no-baseline) baseline=0 ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) echo "browser_latency: unknown argument: $1" >&2; exit 2 ;;
  esac
  shift
done
"$root/scripts/setup.sh" --no-build --browser > /dev/null
cmake --build "$build" --target pphost id_stream stream_latency tallwick-ppapi-render > /dev/null
if [ "$baseline" -eq 1 ]; then
  echo "== baseline: stream_latency --only 720p --seconds $seconds (no browser: publish to present)"
  "$build/bin/stream_latency" --only 720p --seconds "$seconds" 2> /dev/null
fi
export PPHOST="$build/bin/pphost" TALLWICK_MODULE="$build/lib/libtallwick-ppapi-render.so" \
  WEB_ROOT="$root/web" ID_STREAM="$build/bin/id_stream"
cd "$root/tests/browser"
echo "== the browser: publish to pixels in the page"
exec node latency.mjs --seconds "$seconds" "${args[@]}"
