# shellcheck shell=bash
# Sourced by the Windows test scripts that compare with the Linux build: one
# frame into each stream, written by the Linux and by the Windows
# frame-publisher. Each STREAM is a frame-publisher --stream value.

# The segment names of the streams, into the array `segments`.
segment_names() {
  segments=()
  local stream name
  for stream in "$@"; do
    name="${stream#name=}"
    segments+=("${name%%;*}")
  done
}

# publish_on_linux LINUX_BIN STREAM...: the frames stay in their segments
# after the publisher has gone.
publish_on_linux() {
  local linux_bin="$1" stream
  shift
  local args=()
  for stream in "$@"; do args+=(--stream "$stream"); done
  "$linux_bin/frame-publisher" --frames 1 --keep "${args[@]}" > /dev/null
}

# start_windows_publisher WORK WIN_PUBLISHER STREAM...: a Windows mapping
# lives as long as a handle to it, so the publisher (run by the `launcher`
# array) stays, writing nothing after its first frame, which follows the
# segment list it prints at once. Sets `publisher_pid`; fails when the list
# does not come within two minutes.
# shellcheck disable=SC2154,SC2034  # launcher and publisher_pid: the sourcing script's
start_windows_publisher() {
  local work="$1" win_publisher="$2" stream
  shift 2
  local args=()
  for stream in "$@"; do args+=(--stream "$stream;stop-after=1"); done
  mkfifo "$work/diffs"
  "${launcher[@]}" "$win_publisher" --fps 1000 --seconds 600 "${args[@]}" > "$work/diffs" 2> "$work/publisher.err" &
  publisher_pid=$!
  if ! read -r -t 120 _ < "$work/diffs"; then
    echo "frame-publisher did not start:" >&2
    cat "$work/publisher.err" >&2
    return 1
  fi
}
