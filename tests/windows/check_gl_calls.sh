#!/usr/bin/env bash
# The Windows build of the module makes the same GL calls as the Linux build:
# a scenario runs in the Linux pphost with GL, which records every call the
# module makes (--record-gl), then in the Windows pphost under Wine, whose
# calls are answered from that record (--gl-answers) and recorded too. The
# two records must be the same, line for line.
#
#   check_gl_calls.sh LINUX_BIN WIN_PUBLISHER WIN_PPHOST SCENARIO STREAM...
# LINUX_BIN holds the Linux pphost, frame-publisher and module (lib/ beside
# it). Each STREAM is a frame-publisher --stream value; both publishers write
# one frame into each before the scenario starts. TALLWICK_LAUNCHER runs the
# Windows programs (wine64, or 32-bit Wine for i686).
set -euo pipefail
if [ $# -lt 4 ]; then
  echo "usage: check_gl_calls.sh LINUX_BIN WIN_PUBLISHER WIN_PPHOST SCENARIO STREAM..." >&2
  exit 2
fi
linux_bin="$1" win_publisher="$2" win_pphost="$3" scenario="$4"
shift 4
streams=("$@")
read -ra launcher <<< "${TALLWICK_LAUNCHER:-}"
# shellcheck source=tests/windows/publish_frames.sh
source "$(dirname "${BASH_SOURCE[0]}")/publish_frames.sh"

work="$(mktemp -d)"
publisher_pid=""
segment_names "${streams[@]}"
cleanup() {
  [ -z "$publisher_pid" ] || kill "$publisher_pid" 2>/dev/null || true
  [ -z "$publisher_pid" ] || wait "$publisher_pid" 2>/dev/null || true
  for segment in "${segments[@]}"; do rm -f "/dev/shm$segment"; done
  rm -rf "$work"
}
trap cleanup EXIT

publish_on_linux "$linux_bin" "${streams[@]}"
"$linux_bin/pphost" --clock virtual --script "$scenario" --record-gl "$work/linux.jsonl" > "$work/linux.out" ||
  { echo "the Linux pphost failed on $scenario:" >&2; cat "$work/linux.out" >&2; exit 1; }

# (pphost takes seconds to start under Wine: the frame is there by then.)
start_windows_publisher "$work" "$win_publisher" "${streams[@]}"
# The host has no pixels to show, so a scenario's `pixels` lines fail there:
# its exit status says nothing here; the record does.
"${launcher[@]}" "$win_pphost" --clock virtual --script "$scenario" \
  --gl-answers "$work/linux.jsonl" --record-gl "$work/windows.jsonl" > "$work/windows.out" 2> "$work/windows.err" || true

calls="$(wc -l < "$work/linux.jsonl")"
if [ "$calls" -eq 0 ]; then
  echo "the Linux run recorded no GL calls" >&2
  exit 1
fi
if ! diff -u --label linux "$work/linux.jsonl" --label windows "$work/windows.jsonl" > "$work/diff"; then
  head -c 20000 "$work/diff" >&2
  echo >&2
  echo "GL calls differ between the Linux and the Windows build on $scenario ($calls calls on Linux)" >&2
  cat "$work/windows.err" >&2
  exit 1
fi
echo "$scenario: $calls GL calls, the same on both builds"
