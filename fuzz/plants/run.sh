#!/usr/bin/env bash
# Shows that the page target's checks fire: for each planted defect (a patch
# of the module in this folder), applies it, builds the page target without
# sanitizers into build-fuzz-fast/, runs the page seeds and then fuzzes from
# them until the first finding or for --seconds, prints what was found and
# takes the patch out again. Exits 1 if a plant went unfound.
#
#   fuzz/plants/run.sh [--seconds N] [PLANT...]
#     --seconds N   fuzzing time per plant after the seeds (default 120)
#   Plants: the *.patch files here, by name without .patch (all by default).
# The working tree must have no changes of its own in the files a patch
# touches. Each plant's log is build-fuzz-fast/plants/PLANT.log.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$root/build-fuzz-fast"
seconds=120
plants=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    -*) echo "plants: unknown option: $1" >&2; exit 2 ;;
    *)
      [ -f "$here/$1.patch" ] || { echo "plants: no plant $1 (see $here)" >&2; exit 2; }
      plants+=("$1") ;;
  esac
  shift
done
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "plants: --seconds takes a whole number" >&2; exit 2; }
if [ ${#plants[@]} -eq 0 ]; then
  for patch in "$here"/*.patch; do plants+=("$(basename "$patch" .patch)"); done
fi

"$root/scripts/setup.sh" --no-build > /dev/null
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALLWICK_TESTS=OFF -DTALLWICK_BENCH=OFF -DTALLWICK_FUZZ=ON -DTALLWICK_SANITIZE=fuzzer-no-link > "$build.configure.log"
mkdir -p "$build/plants"

applied=""
take_out() { [ -z "$applied" ] || git -C "$root" apply -R "$here/$applied.patch"; applied=""; }
trap take_out EXIT

# Runs the target on the seeds, then fuzzes; prints the first finding.
hunt() {
  local plant=$1 work="$build/plants/$1"
  rm -rf "$work" && mkdir -p "$work/corpus"
  cp "$root/fuzz/corpus/page/"* "$work/corpus/"
  local bin="$build/fuzz/bin/page_fuzzer" log="$build/plants/$plant.log"
  (cd "$work" && "$bin" -runs=0 -close_fd_mask=2 corpus > "$log" 2>&1 &&
    "$bin" -max_total_time="$seconds" -max_len=4096 -timeout=10 -dict="$root/fuzz/dict/page.dict" -close_fd_mask=2 corpus \
      >> "$log" 2>&1) && return 1
  grep -m1 -E '^fuzz finding|ERROR: |runtime error' "$log" || echo "(see $log)"
}

missed=0
printf '%-20s %s\n' plant "first finding"
for plant in "${plants[@]}"; do
  git -C "$root" apply "$here/$plant.patch"
  applied=$plant
  cmake --build "$build" --target page_fuzzer > "$build/plants/$plant.build.log" 2>&1 ||
    { echo "plants: $plant does not build ($build/plants/$plant.build.log)" >&2; exit 1; }
  if found="$(hunt "$plant")"; then
    printf '%-20s %s\n' "$plant" "$found"
  else
    printf '%-20s %s\n' "$plant" "NOT FOUND in the seeds and $seconds s"
    missed=1
  fi
  take_out
done
# The target as it is, for the next user of the build.
cmake --build "$build" --target page_fuzzer > /dev/null
exit "$missed"
