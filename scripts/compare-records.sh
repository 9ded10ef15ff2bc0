#!/usr/bin/env bash
# Holds what the module does against an earlier commit: builds REV's pphost,
# frame-publisher and module in a worktree of their own (build-compare/),
# then plays five page scenarios in REV's build and in BUILD (default build/,
# the checkout as built) on the virtual clock, with the module's log lines
# (--log), every swap (--trace-present) and every GL call (--record-gl), and
# compares outputs and GL records line by line. Object addresses and the
# process id are masked. For a change that must not change behaviour.
#
#   scripts/compare-records.sh REV [BUILD]
# The scenarios: scenarios/hello, controller-meeting, gallery and both-roles
# (both roles for 15 s: errors 6 and 7, a tile never published, a stream
# registered late, NO_FRAME and NORMAL_FRAME, a resize, a hidden gallery,
# rate-limited lines past their interval, cursors, stop and start again),
# and tests/windows/published_stream (one single-stream element). Before
# each, frame-publisher writes one frame into each of its streams and keeps
# them. Prints a line per scenario and exits 1 when any differs.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
case "${1:-}" in
  ""|-h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; [ -n "${1:-}" ]; exit $? ;;
esac
rev="$(git -C "$root" rev-parse --verify --short "$1^{commit}" 2> /dev/null)" ||
  { echo "compare-records: not a commit: $1" >&2; exit 2; }
build="$(realpath "${2:-$root/build}")"
for program in bin/pphost bin/frame-publisher; do
  [ -x "$build/$program" ] || { echo "compare-records: $build/$program is missing; build it first" >&2; exit 2; }
done

# REV's programs, built once per commit and kept.
base="$root/build-compare/$rev"
if [ ! -x "$base/build/bin/pphost" ]; then
  echo "== building $rev in $base"
  rm -rf "$base" && mkdir -p "$base"
  git -C "$root" worktree add --detach --force "$base/src" "$rev" > /dev/null
  cmake -S "$base/src" -B "$base/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALLWICK_TESTS=OFF -DTALLWICK_BENCH=OFF -DTALLWICK_SHELL=OFF > "$base/configure.log" 2>&1 ||
    { cat "$base/configure.log" >&2; exit 1; }
  ninja -C "$base/build" pphost frame-publisher tallwick-ppapi-render > "$base/build.log" 2>&1 ||
    { tail -40 "$base/build.log" >&2; exit 1; }
  git -C "$root" worktree remove --force "$base/src"
fi

work="$(mktemp -d)"
segments=()
cleanup() {
  for segment in "${segments[@]}"; do rm -f "/dev/shm$segment"; done
  rm -rf "$work"
}
trap cleanup EXIT

mask() { sed -E 's/0x[0-9a-f]+/0xADDR/g; s/process id:[0-9]+/process id:PID/g; s/"pid":[0-9]+/"pid":PID/g'; }

# publish BIN STREAM...: one kept frame in each stream's segment.
publish() {
  local bin=$1 stream args=()
  shift
  for stream in "$@"; do
    args+=(--stream "$stream")
    segments+=("$(sed -E 's/^name=([^;]*).*/\1/' <<< "$stream")")
  done
  [ $# -eq 0 ] || "$bin/frame-publisher" --frames 1 --keep "${args[@]}" > /dev/null 2>&1
}

# play NAME BIN SCENARIO STREAM...: the outputs and the GL record, masked.
play() {
  local name=$1 bin=$2 scenario=$3
  shift 3
  publish "$bin" "$@"
  "$bin/pphost" --module "$bin/../lib/libtallwick-ppapi-render.so" --clock virtual --log --trace-present \
    --script "$scenario" --record-gl "$work/$name.gl.raw" 2> /dev/null | mask > "$work/$name.out" || true
  mask < "$work/$name.gl.raw" > "$work/$name.gl"
}

# compare NAME SCENARIO STREAM...
failed=0
compare() {
  local name=$1 scenario=$2
  shift 2
  play "$name.base" "$base/build/bin" "$scenario" "$@"
  play "$name.new" "$build/bin" "$scenario" "$@"
  local verdict="byte-identical"
  if ! cmp -s "$work/$name.base.out" "$work/$name.new.out" || ! cmp -s "$work/$name.base.gl" "$work/$name.new.gl"; then
    verdict="DIFFERS"
    failed=1
    diff -u "$work/$name.base.out" "$work/$name.new.out" | head -40 >&2 || true
    diff -u "$work/$name.base.gl" "$work/$name.new.gl" | head -40 >&2 || true
  fi
  printf '%-20s %9s %13s %10s   %s\n' "$name" "$(wc -l < "$work/$name.new.gl")" "$(wc -l < "$work/$name.new.out")" \
    "$(grep -c '"kind":"log"' "$work/$name.new.out" || true)" "$verdict"
}

red="pattern=solid:255,0,0;width=320;height=180"
echo "== $rev against $build"
printf '%-20s %9s %13s %10s   %s\n' scenario "GL calls" "output lines" "log lines" ""
compare hello "$root/scenarios/hello.jsonl"
compare controller-meeting "$root/scenarios/controller-meeting.jsonl"
compare gallery "$root/scenarios/gallery.jsonl" \
  "name=/tallwick-example-red;uid=u1;sid=s1;$red" \
  "name=/tallwick-example-green;uid=u2;sid=s2;width=320;height=180;pattern=solid:0,255,0"
compare published_stream "$root/tests/windows/published_stream.jsonl" \
  "name=/tallwick-windows-camera;uid=u1;sid=s1;width=160;height=90;pattern=solid:255,0,0"
compare both-roles "$root/scenarios/both-roles.jsonl" \
  "name=/tallwick-compare-a;uid=u1;sid=s1;$red" \
  "name=/tallwick-compare-b;uid=u2;sid=s2;width=320;height=180;format=NV12;pattern=tile:0,0,255"
exit "$failed"
