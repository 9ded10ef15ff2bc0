#!/usr/bin/env bash
# Measures how much of the module's code runs: line and branch coverage of
# src/ per folder, with clang 14's source-based coverage, once under the test
# suite and once over the fuzz corpora.
#
#   scripts/coverage.sh [--tests-only | --fuzz-only] [--no-build] [--seeds] [--files N] [--ranges N] [-- ctest args]
#     --tests-only  measure the test suite only
#     --fuzz-only   measure the fuzz corpora only
#     --no-build    use the coverage trees as they are (no set-up, no build)
#     --seeds       run the fuzz targets over their seeds (fuzz/corpus/TARGET)
#                   even where scripts/fuzz.sh has grown a corpus
#     --files N     least-covered files listed per folder (default 3)
#     --ranges N    uncovered ranges and one-way conditions listed per file,
#                   each (default 6)
#     -- ARGS       more arguments for ctest (e.g. -- -R '^frame_')
# The test suite: build-cov/ (clang 14, every target instrumented, no
# benchmarks, no shell), and ctest there without the labels browser, realhost
# and windows, which need Chromium, tallwick-shell under Xvfb, or Wine.
# The fuzz corpora: build-cov-fuzz/ with the targets that tallwick_fuzzers
# builds, instrumented the same way (no sanitizers; fuzzer-no-link only as
# the fuzz build asks for it), each run once over every input of its corpus
# (-runs=0): build-fuzz/fuzz-work/TARGET/corpus, where scripts/fuzz.sh keeps
# what it grew, else fuzz/corpus/TARGET. A crashed process writes no profile,
# so an input that crashes its target is set aside and the target runs again
# without it; the summary names it. Inputs run in the same order every time;
# even so, one run in five of the page target has reached a few more lines of
# the torn-frame paths than the others.
# Every process writes a profile of its own (LLVM_PROFILE_FILE with %p and %m,
# so pphost and the module it loads write one each). Each part prints its
# table (folder; lines covered/total and %; branches covered/total and %) and
# per folder the least-covered files with what did not run in them
# (scripts/coverage-report.sh), and writes coverage.md and coverage-html/ into
# its tree. The end gives both totals and the time of each step. It exits 1
# when a test failed or an input crashed its target (the report is still
# made). From nothing about 18 minutes on two cores, all but two of them
# building; with --no-build about two.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
tests_build="$root/build-cov"
fuzz_build="$root/build-cov-fuzz"
jobs="$(nproc)"

do_tests=1
do_fuzz=1
do_build=1
seeds=0
report_args=()
ctest_args=()
fail() { echo "coverage: $*" >&2; exit 2; }
while [ $# -gt 0 ]; do
  case "$1" in
    --files|--ranges)
      if [ $# -lt 2 ] || ! [[ "$2" =~ ^[0-9]+$ ]]; then fail "$1 needs a number (see --help)"; fi
      report_args+=("$1" "$2"); shift ;;
    --tests-only) do_fuzz=0 ;;
    --fuzz-only) do_tests=0 ;;
    --no-build) do_build=0 ;;
    --seeds) seeds=1 ;;
    --) shift; ctest_args=("$@"); break ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) fail "unknown argument: $1 (see --help)" ;;
  esac
  shift
done
[ "$do_tests" -eq 1 ] || [ "$do_fuzz" -eq 1 ] || fail "--tests-only and --fuzz-only exclude each other"

# Each step says what it is; the end gives each part's totals and the time
# each step took.
# shellcheck source=scripts/step-timer.sh
source "$here/step-timer.sh"
results=()
summary() {
  step ""
  [ ${#results[@]} -eq 0 ] || { echo "== summary"; printf '%s\n' "${results[@]}"; }
  step_times
}
trap summary EXIT

# Configures a coverage tree with clang 14: configure DIR [cmake args].
configure() {
  CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALLWICK_COVERAGE=ON -DTALLWICK_BENCH=OFF -DTALLWICK_SHELL=OFF "${@:2}" > "$1.configure.log" 2>&1 ||
    { cat "$1.configure.log" >&2; echo "coverage: configuring $1 failed" >&2; exit 1; }
}

# Builds DIR [target]: ninja's progress at every tenth, its errors in full.
# The programs that run while building (test discovery) write their
# profiles aside, to be thrown away.
build() {
  local dir=$1 log="$1/coverage-build.log" status=0
  local target_args=()
  [ $# -lt 2 ] || target_args=(--target "$2")
  LLVM_PROFILE_FILE="$dir/coverage-build-profiles/%p-%m.profraw" cmake --build "$dir" -j "$jobs" "${target_args[@]}" 2>&1 |
    tee "$log" | awk -F'[][/]' '/^\[[0-9]+\/[0-9]+\]/ {
      tenth = int($2 * 10 / $3); if (tenth > shown) { shown = tenth; printf "  built %d/%d\n", $2, $3 } }' || status=$?
  rm -rf "$dir/coverage-build-profiles"
  [ "$status" -eq 0 ] && return 0
  grep -E -A5 'error:|FAILED:' "$log" | head -60 >&2
  echo "coverage: the build of $dir failed (whole log: $log)" >&2
  exit 1
}

# The instrumented programs and libraries of a tree: those with a coverage map.
instrumented() {
  find "$1" -name CMakeFiles -prune -o -type f \( -perm -u+x -o -name '*.so' \) -print |
    while read -r file; do
      readelf -S "$file" 2> /dev/null | grep -q __llvm_covmap && echo "$file"
    done
  return 0
}

test_part() {
  if [ "$do_build" -eq 1 ]; then
    step "test suite: build ($tests_build)"
    configure "$tests_build"
    build "$tests_build"
  fi
  [ -f "$tests_build/CTestTestfile.cmake" ] || fail "$tests_build is not built (run without --no-build)"

  step "test suite: ctest without the browser, realhost and windows labels"
  local profiles="$tests_build/coverage-profiles" log="$tests_build/coverage-ctest.log" status=0
  rm -rf "$profiles"
  mkdir -p "$profiles"
  LLVM_PROFILE_FILE="$profiles/%p-%m.profraw" ctest --test-dir "$tests_build" --output-on-failure --timeout 600 \
    -j "$jobs" -LE '^(browser|realhost|windows)$' "${ctest_args[@]}" 2>&1 | tee "$log" |
    awk '/ Test +#[0-9]+: / { split($1, n, "/"); if (n[1] % 50 == 0) printf "  tests %s\n", $1 }
         /\*\*\*(Failed|Timeout|Exception)|^[0-9]+% tests passed/ { print "  " $0 }' || status=$?
  local counts
  counts="$(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests failed out of \([0-9]*\)$/\2 tests, \1 failed/p' "$log")"
  [ -n "$counts" ] || counts="ctest did not finish (log: $log)"

  step "test suite: report"
  mapfile -t objects < <(instrumented "$tests_build")
  "$here/coverage-report.sh" --title "test suite" --profiles "$profiles" --out "$tests_build" \
    "${report_args[@]}" "${objects[@]}"
  results+=("$(printf '%-13s %s; %s; %s' "test suite" "$(cat "$tests_build/coverage-total.txt")" "$counts" \
    "$tests_build/coverage.md")")
  [ "$status" -eq 0 ] || failed=1
}

# The fuzz targets' programs, as tallwick_fuzzers builds them.
fuzz_targets() {
  ninja -C "$fuzz_build" -t commands tallwick_fuzzers | grep -oE ' -o [^ ]+_fuzzer( |$)' | awk '{ print $2 }' | sort -u
}

# Runs one target over its corpus (a copy of it) until a run gets through;
# an input that crashes it is set aside. Prints what it did, and a line for
# the summary into $fuzz_result.
fuzz_corpus() {
  local bin=$1 profiles=$2 target
  target="$(basename "$bin" _fuzzer)"
  local corpus="$root/build-fuzz/fuzz-work/$target/corpus"
  if [ "$seeds" -eq 1 ] || [ -z "$(ls -A "$corpus" 2> /dev/null)" ]; then corpus="$root/fuzz/corpus/$target"; fi
  if [ -z "$(ls -A "$corpus" 2> /dev/null)" ]; then
    echo "  $target: no corpus (neither build-fuzz/fuzz-work/$target/corpus nor fuzz/corpus/$target): not run"
    fuzz_result="$target: no corpus"
    return 0
  fi
  local run="$fuzz_build/coverage-run/$target"
  rm -rf "$run"
  mkdir -p "$run/corpus" "$run/set-aside" "$run/findings"
  cp -r "$corpus/." "$run/corpus/"
  local inputs attempt status found start=$SECONDS
  inputs="$(ls "$run/corpus" | wc -l)"
  echo "  $target: $inputs inputs from ${corpus#"$root/"}"
  for attempt in $(seq 1 10); do
    status=0
    # Files the target writes (pictures, logs) land in its run folder. A
    # fixed seed keeps the order of the inputs from one run to the next: the
    # page targets keep state across inputs, so their coverage depends on it.
    (cd "$run" && LLVM_PROFILE_FILE="$profiles/$target-%p-%m.profraw" "$bin" -runs=0 -seed=1 -timeout=30 \
      -rss_limit_mb=2048 -artifact_prefix="$run/findings/" corpus > "$run/run-$attempt.log" 2>&1) || status=$?
    if [ "$status" -eq 0 ]; then
      local aside
      aside="$(ls "$run/set-aside" | wc -l)"
      echo "  $target: ran $((inputs - aside)) inputs in $((SECONDS - start)) s"
      fuzz_result="$target: $((inputs - aside)) inputs"
      [ "$aside" -eq 0 ] || { fuzz_result+=", $aside set aside ($run/set-aside)"; failed=1; }
      return 0
    fi
    # libFuzzer names what it saves by its kind and the input's SHA-1.
    found=""
    local artifact
    for artifact in "$run"/findings/{crash,timeout,oom,leak}-*; do
      [ -e "$artifact" ] && found="$(basename "$artifact")"
    done
    local name=""
    if [ -n "$found" ]; then
      local hash=${found#*-}
      name="$(cd "$run/corpus" && sha1sum -- * | awk -v h="$hash" '$1 == h && name == "" { name = $2 } END { print name }')"
    fi
    if [ -z "$name" ]; then
      echo "  $target: exited with $status and no input to blame; its log: $run/run-$attempt.log" >&2
      fuzz_result="$target: failed (exit $status), no coverage; log $run/run-$attempt.log"
      failed=1
      return 0
    fi
    mv "$run/corpus/$name" "$run/set-aside/"
    rm -f "$run/findings/$found"
    echo "  $target: input $name: ${found%%-*} ($(grep -m1 -E 'finding|ERROR: libFuzzer' "$run/run-$attempt.log" |
      cut -c1-120)); set aside, running again"
  done
  echo "  $target: still failing after 10 inputs set aside: no coverage from it" >&2
  fuzz_result="$target: still failing after 10 inputs set aside, no coverage ($run)"
  failed=1
}

fuzz_part() {
  if [ "$do_build" -eq 1 ]; then
    step "fuzz corpora: build ($fuzz_build, tallwick_fuzzers)"
    configure "$fuzz_build" -DTALLWICK_TESTS=OFF -DTALLWICK_FUZZ=ON -DTALLWICK_SANITIZE=fuzzer-no-link
    build "$fuzz_build" tallwick_fuzzers
  fi
  [ -f "$fuzz_build/build.ninja" ] || fail "$fuzz_build is not built (run without --no-build)"
  mapfile -t targets < <(fuzz_targets | sed "s|^|$fuzz_build/|")
  [ ${#targets[@]} -gt 0 ] || { echo "coverage: tallwick_fuzzers names no target" >&2; exit 1; }
  local bin
  for bin in "${targets[@]}"; do
    [ -x "$bin" ] || fail "$bin is missing (run without --no-build)"
  done

  step "fuzz corpora: every target once over its corpus"
  local profiles="$fuzz_build/coverage-profiles" runs=()
  rm -rf "$profiles"
  mkdir -p "$profiles"
  for bin in "${targets[@]}"; do
    fuzz_result=""
    fuzz_corpus "$bin" "$profiles"
    runs+=("$fuzz_result")
  done

  step "fuzz corpora: report"
  "$here/coverage-report.sh" --title "fuzz corpora" --profiles "$profiles" --out "$fuzz_build" \
    "${report_args[@]}" "${targets[@]}"
  local joined
  joined="$(printf '%s; ' "${runs[@]}")"
  results+=("$(printf '%-13s %s; %s%s' "fuzz corpora" "$(cat "$fuzz_build/coverage-total.txt")" "$joined" \
    "$fuzz_build/coverage.md")")
}

failed=0
if [ "$do_build" -eq 1 ]; then
  step "set-up (packages)"
  "$here/setup.sh" --coverage --no-build
fi
for tool in clang++-14 llvm-profdata-14 llvm-cov-14 jq c++filt readelf ninja; do
  command -v "$tool" > /dev/null || { echo "coverage: $tool is missing (scripts/setup.sh --coverage installs it)" >&2; exit 1; }
done
[ "$do_tests" -eq 0 ] || test_part
[ "$do_fuzz" -eq 0 ] || fuzz_part
exit "$failed"
