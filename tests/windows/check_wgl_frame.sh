#!/usr/bin/env bash
# A frame drawn by the Windows module in pphost.exe on WGL matches the Linux
# pphost's picture of the same frame. Both publishers write one frame into
# each stream; each pphost plays the scenario (which must not shut down), then
# reads every pixel of every element it viewed (`pixels`). The pictures must
# agree within TOLERANCE in every channel of every pixel.
#
#   check_wgl_frame.sh LINUX_BIN WIN_PUBLISHER WIN_PPHOST SCENARIO OUT_DIR TOLERANCE STREAM...
# LINUX_BIN holds the Linux pphost and frame-publisher (the module beside
# them, as built). Each STREAM is a frame-publisher --stream value. OUT_DIR
# gets both hosts' pictures of each element as PPM files (linux-ID.ppm,
# windows-ID.ppm). TALLWICK_LAUNCHER runs the Windows programs (wine64, or
# 32-bit Wine for i686).
#
# pphost.exe needs a display with GLX: Wine's WGL is the X server's GLX. The
# script starts an Xvfb of its own and ends it. Both hosts draw with Mesa's
# softpipe, so that the two pictures come from one rasteriser: llvmpipe
# cannot serve here, since once it is loaded every Windows exception raised
# (OutputDebugString's among them, which the module uses) kills a 32-bit Wine
# process run by qemu-i386 with a segmentation fault.
set -euo pipefail
export GALLIUM_DRIVER=softpipe
if [ $# -lt 7 ]; then
  echo "usage: check_wgl_frame.sh LINUX_BIN WIN_PUBLISHER WIN_PPHOST SCENARIO OUT_DIR TOLERANCE STREAM..." >&2
  exit 2
fi
linux_bin="$1" win_publisher="$2" win_pphost="$3" scenario="$4" out_dir="$5" tolerance="$6"
shift 6
streams=("$@")
read -ra launcher <<< "${TALLWICK_LAUNCHER:-}"
# shellcheck source=tests/windows/publish_frames.sh
source "$(dirname "${BASH_SOURCE[0]}")/publish_frames.sh"

work="$(mktemp -d)"
xvfb_pid=""
publisher_pid=""
segment_names "${streams[@]}"
cleanup() {
  for pid in "$publisher_pid" "$xvfb_pid"; do
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    [ -z "$pid" ] || wait "$pid" 2>/dev/null || true
  done
  for segment in "${segments[@]}"; do rm -f "/dev/shm$segment"; done
  rm -rf "$work"
}
trap cleanup EXIT

# wait_for_desktops_without_display SECONDS: until no desktop process of this
# prefix runs without a DISPLAY, or SECONDS have passed. Under qemu-i386 one
# was seen to stay past 60 s, and the session's stop then found no server:
# were the server gone, the next process would start one with a desktop of
# its own. So the test goes on, and pphost.exe's result decides.
desktops_without_display() {
  local pid environ
  for pid in $(pgrep -f 'explorer\.exe /desktop' || true); do
    environ="$(tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null)" || continue
    grep -qx "WINEPREFIX=$WINEPREFIX" <<< "$environ" || continue
    grep -q '^DISPLAY=.' <<< "$environ" || echo "$pid"
  done
}
wait_for_desktops_without_display() {
  local deadline=$((SECONDS + $1))
  while [ -n "$(desktops_without_display)" ]; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      echo "check_wgl_frame: a Wine desktop process without a display is still there after $1 s; going on" >&2
      return 0
    fi
    sleep 0.2
  done
}
mkdir -p "$out_dir"
started=$SECONDS

# The scenario, then a `pixels` line for the whole of each element it viewed
# (rows from the top, each row from the left), then the end.
jq -c 'select(.op == "view") | {op: "pixels", id, points: [range(0; .rect[3]) as $y | range(0; .rect[2]) as $x | [$x, $y]]}' \
  "$scenario" > "$work/reads.jsonl"
jq -c 'select(.op == "view") | {id, width: .rect[2], height: .rect[3]}' "$scenario" > "$work/views.jsonl"
cat "$scenario" "$work/reads.jsonl" > "$work/scenario.jsonl"
echo '{"op":"shutdown"}' >> "$work/scenario.jsonl"

publish_on_linux "$linux_bin" "${streams[@]}"
"$linux_bin/pphost" --clock virtual --script "$work/scenario.jsonl" > "$work/linux.out" 2> "$work/linux.err" ||
  { echo "the Linux pphost failed:" >&2; cat "$work/linux.out" "$work/linux.err" >&2; exit 1; }

# The display, on the first free number; Xvfb writes it once it listens.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 640x480x24 +extension GLX -nolisten tcp 3> "$work/display" 2> "$work/xvfb.err" &
xvfb_pid=$!
if ! read -r -t 60 display < "$work/display"; then
  echo "Xvfb did not start:" >&2
  cat "$work/xvfb.err" >&2
  exit 1
fi

# Wine's desktop process (explorer.exe) loads the display driver for every
# process of the session, from the DISPLAY of the process that started it.
# One started by an earlier test without a display fails every window until
# it leaves, a few seconds later; so wait for it, and give this test's Wine
# processes, the publisher among them, the display.
export DISPLAY=":$display"
wait_for_desktops_without_display 20
start_windows_publisher "$work" "$win_publisher" "${streams[@]}"
"${launcher[@]}" "$win_pphost" --gl wgl --clock virtual \
  --script "$work/scenario.jsonl" > "$work/windows.out" 2> "$work/windows.err" ||
  { echo "pphost.exe failed:" >&2; cat "$work/windows.out" "$work/windows.err" >&2; exit 1; }

# Each element's picture from each host, compared channel by channel.
failed=0
while read -r view; do
  id="$(jq -r .id <<< "$view")"
  for host in linux windows; do
    jq -c --arg id "$id" 'select(.kind == "pixels" and .id == $id) | .values' "$work/$host.out" > "$work/$host-$id.json"
    if [ ! -s "$work/$host-$id.json" ]; then
      echo "$id: no pixels from the $host pphost:" >&2
      grep '"kind":"error"' "$work/$host.out" >&2 || true
      exit 1
    fi
    jq -r --argjson view "$view" '"P3\n\($view.width) \($view.height)\n255", (.[] | .[0:3] | map(tostring) | join(" "))' \
      "$work/$host-$id.json" > "$out_dir/$host-$id.ppm"
  done
  report="$(jq -n -r --arg id "$id" --argjson tolerance "$tolerance" \
    --slurpfile linux "$work/linux-$id.json" --slurpfile windows "$work/windows-$id.json" '
    $linux[0] as $l | $windows[0] as $w
    | [range(0; $l | length) as $i | range(0; 4) as $c | ($l[$i][$c] - $w[$i][$c]) | fabs] as $d
    | ($l | map(.[0:3]) | unique | length) as $colours
    | ($d | max) as $largest
    | {pass: ($largest <= $tolerance and $colours >= 8 and ($l | length) == ($w | length)),
       text: "\($id): \($l | length) pixels, \($colours) colours on Linux; channels differing: \($d | map(select(. > 0)) | length) of \($d | length), by at most \($largest) (tolerance \($tolerance))"}
    | "\(.pass) \(.text)"')"
  echo "${report#* }"
  [ "${report%% *}" = true ] || failed=1
done < "$work/views.jsonl"
echo "pictures in $out_dir; $((SECONDS - started)) s"
if [ "$failed" -ne 0 ]; then
  echo "the Windows pictures differ from the Linux ones beyond the tolerance, or Linux drew no frame" >&2
  exit 1
fi
