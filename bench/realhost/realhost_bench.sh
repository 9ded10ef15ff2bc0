#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR  # the pieces in lib/
# The module in a real Chromium Pepper host (tallwick-shell: Qt WebEngine
# 5.15, Chromium 87) beside pphost on the same frames, layout and messages,
# on this machine's software GL. Cases (--cases, all by default):
#
#   meeting  web/meeting.html as it is: frame-publisher writes nine streams at
#            30 fps (u1 1280x720 I420, rows padded by 64 bytes, into the
#            640x360 speaker; u2..u9 640x360, u3 NV12) and the 1280x720
#            gallery shows all nine as a 3x3 grid of 418x232 tiles. Then pphost
#            (--clock real) plays the same elements, views and messages.
#   scale    bench/realhost/pages/scale.html: sixteen 320x180 single-stream elements
#            (users 1..16) and a 1600x900 gallery of 5x5 tiles of 320x180
#            (users 1..25), 25 I420 streams of 320x180 at 30 fps; then pphost.
#   attr0    the meeting case in the shell only, the module against a scratch
#            build whose program binds a_position to location 0 (no attribute
#            0 emulation in Chromium's GL decoder), alternating A B A B...
#            (--rounds pairs). Both modules are built from the same copy of
#            HEAD (git archive) in /tmp, the only difference being that line;
#            nothing in the work tree changes.
#
# Every figure is taken over one window: each render element is asked for
# its counts (GET_FRAME_COUNT) WARMUP ms after the segments are registered
# (scale: after the last element answered START_RENDER) and again WINDOW ms
# later. Per element and gallery tile: frames presented (the
# frameCount delta) / frames published (30 fps x the delta of the module's
# own timestamps). CPU over the same window: in the shell per process from
# its "processes" lines (taken every 0.5 s, interpolated to the times of the
# two replies), Xvfb, frame-publisher and the whole machine from /proc; in
# pphost the process itself, read from /proc while it waits between lines.
# Progress lines as it goes, tables at the end; every output file stays in
# the output folder.
#
#   bench/realhost/realhost_bench.sh [--build DIR] [--out DIR] [--cases meeting,scale,attr0]
#                                    [--rounds N] [--warmup-ms MS] [--window-ms MS]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"

readonly kFps=30
# Seconds the shell runs beyond warm-up and window, for what comes before
# the warm-up: its own start-up (the page and the plug-in process) and on the
# scale page the start of seventeen elements, a few seconds on a busy
# software GL.
readonly kMeetingSlackS=4
readonly kScaleSlackS=10
readonly kAttr0Warning="Attribute 0 is disabled"

build="$root/build"
out=""
cases="meeting,scale,attr0"
rounds=2
warmup_ms=2000
window_ms=10000
scratch="/tmp"

# The comment block at the top of this file.
usage() { awk 'NR > 1 && /^# shellcheck/ { next } NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; }
die() { echo "realhost_bench: $*" >&2; exit 1; }
progress() { printf '%s  %s\n' "$(date +%H:%M:%S)" "$*"; }

while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift ;;
    --out) out="$2"; shift ;;
    --cases) cases="$2"; shift ;;
    --rounds) rounds="$2"; shift ;;
    --warmup-ms) warmup_ms="$2"; shift ;;
    --window-ms) window_ms="$2"; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "realhost_bench: unknown argument: $1" >&2; usage >&2; exit 2 ;;
  esac
  shift
done
bin="$build/bin"
module="$build/lib/libtallwick-ppapi-render.so"
for tool in tallwick-shell pphost frame-publisher; do
  [ -x "$bin/$tool" ] || die "no $bin/$tool: build the project first (scripts/setup.sh)"
done
for tool in jq Xvfb pgrep column; do
  command -v "$tool" > /dev/null || die "$tool is missing (scripts/setup.sh --shell installs what the shell needs)"
done
[ -n "$out" ] || out="$(mktemp -d /tmp/realhost-bench.XXXXXX)"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
clk_tck="$(getconf CLK_TCK)"

# The pieces, by concern: the processes this script starts and their CPU time,
# the two hosts, the figures and tables, the cases.
source "$here/lib/processes.sh"
source "$here/lib/hosts.sh"
source "$here/lib/results.sh"
source "$here/lib/cases.sh"

trap cleanup EXIT
trap 'exit 130' INT TERM

# --- main ---------------------------------------------------------------------------------------

progress "realhost_bench: output in $out; load average $(cut -d' ' -f1-3 /proc/loadavg)"
case ",$cases," in *,meeting,*) run_case meeting "$root/web/meeting.html" 1960x800 "$kMeetingSlackS" ;; esac
case ",$cases," in *,scale,*) run_case scale "$here/pages/scale.html" 2890x900 "$kScaleSlackS" ;; esac
case ",$cases," in *,attr0,*) run_attr0 ;; esac

echo
echo "== summary ($(date -u +%Y-%m-%dT%H:%MZ), $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg))"
echo "window: ${window_ms} ms, from ${warmup_ms} ms after the segments were registered (scale: after the last START_RENDER reply); output in $out"
case ",$cases," in *,meeting,*) (cd "$out/meeting" && print_case_tables meeting) ;; esac
case ",$cases," in *,scale,*) (cd "$out/scale" && print_case_tables scale) ;; esac
case ",$cases," in *,attr0,*) print_attr0_table ;; esac
