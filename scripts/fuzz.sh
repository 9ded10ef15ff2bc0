#!/usr/bin/env bash
# Sets up and builds the libFuzzer targets (clang 14, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/, then runs each named target
# (all by default), one after the other, on a copy of its seed corpus.
#
#   scripts/fuzz.sh [--seconds N] [--runs N] [--long] [--fast] [--jobs N] [--no-build] [TARGET...]
#     --seconds N   run each target for N seconds (default 60)
#     --runs N      stop a target after N executions, if sooner
#     --long        the deep run: each target to 10^7 executions (--runs), or
#                   at most --seconds (default then 8 hours), then its corpus
#                   is minimised (libFuzzer -merge=1) and kept
#     --fast        the targets without sanitizers (coverage instrumentation
#                   only) in build-fuzz-fast/: the page target runs about
#                   ten times faster; replay findings on the default build
#     --jobs N      N fuzzing processes per target (default 1), one a core,
#                   sharing its corpus; --runs is then split among them
#     --no-build    use the targets already built
#   Targets: frame page pphost_line publisher (fuzz/README.md).
# Per target it prints executions, coverage (cov, ft), exec/s, corpus size
# and findings. New inputs stay in build-fuzz/fuzz-work/TARGET/corpus; a
# finding (crash, leak, timeout, out-of-memory) is saved in
# build-fuzz/fuzz-work/TARGET/findings with the command that replays it, and
# the script exits 1. A fuzzing process stopped with SIGINT makes its target
# "interrupted": its corpus is kept (minimised with --long), no later
# target runs, and the script exits 130.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="$root/build-fuzz"
sanitize=address,undefined,fuzzer-no-link
all_targets=(frame page pphost_line publisher)

seconds=60
seconds_given=0
runs=0
jobs=1
long=0
do_build=1
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; seconds_given=1; shift ;;
    --runs) runs="$2"; shift ;;
    --jobs) jobs="$2"; shift ;;
    --long) long=1 ;;
    --fast) build="$root/build-fuzz-fast"; sanitize=fuzzer-no-link ;;
    --no-build) do_build=0 ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    -*) echo "fuzz: unknown option: $1" >&2; exit 2 ;;
    *)
      if [[ ! " ${all_targets[*]} " == *" $1 "* ]]; then
        echo "fuzz: unknown target: $1 (targets: ${all_targets[*]})" >&2
        exit 2
      fi
      targets+=("$1") ;;
  esac
  shift
done
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
for number in "$seconds" "$runs" "$jobs"; do
  [[ "$number" =~ ^[0-9]+$ ]] || { echo "fuzz: --seconds, --runs and --jobs take a whole number, not: $number" >&2; exit 2; }
done
[ "$jobs" -ge 1 ] || { echo "fuzz: --jobs takes 1 or more" >&2; exit 2; }
if [ "$long" -eq 1 ]; then
  [ "$runs" -ne 0 ] || runs=10000000
  [ "$seconds_given" -eq 1 ] || seconds=28800
fi

# Largest input per target: a frame's mapping may be a few pictures' worth;
# the text targets take a page's worth of lines.
max_len() {
  case "$1" in
    frame) echo 16384 ;;
    *) echo 4096 ;;
  esac
}

build_targets() {
  "$here/setup.sh" --no-build
  CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALLWICK_TESTS=OFF -DTALLWICK_BENCH=OFF -DTALLWICK_FUZZ=ON \
    -DTALLWICK_SANITIZE="$sanitize" > "$build.configure.log" ||
    { cat "$build.configure.log"; exit 1; }
  cmake --build "$build" -j "$(nproc)" --target tallwick_fuzzers
}

# The value after `key:` on libFuzzer's last status line.
status_field() { grep -E '^#[0-9]+' "$2" | tail -1 | sed -n "s/.* $1: \([^ ]*\).*/\1/p"; }
final_stat() { sed -n "s/^stat::$1: *//p" "$2"; }

# The figures of one target's run over the logs of its jobs: executions
# and exec/s summed, coverage as the first job last saw it.
run_figures() {
  local logs=("$@") executions=0 rate=0 log
  for log in "${logs[@]}"; do
    executions=$((executions + $(final_stat number_of_executed_units "$log" | grep . || echo 0)))
    rate=$((rate + $(final_stat average_exec_per_sec "$log" | grep . || echo 0)))
  done
  printf '%12s %8s %8s %8s' "$executions" "$(status_field cov "${logs[0]}")" "$(status_field ft "${logs[0]}")" "$rate"
}

# Runs one target; prints its line of figures; returns 1 on a finding.
run_target() {
  local target=$1 work="$build/fuzz-work/$1"
  local bin="$build/fuzz/bin/${target}_fuzzer"
  mkdir -p "$work/corpus" "$work/findings"
  cp -n "$root/fuzz/corpus/$target/"* "$work/corpus/"
  local before log="$work/last-run.log" status=0
  before="$(ls "$work/findings")"
  # -close_fd_mask=2: what the code under test writes to standard error (the
  # module's debug traces, a few lines each input) goes nowhere; libFuzzer's
  # lines, the sanitizers' reports and the harness's findings still come.
  local args=(-max_total_time="$seconds" -print_final_stats=1 -max_len="$(max_len "$target")" -timeout=10
              -rss_limit_mb=2048 -dict="$root/fuzz/dict/$target.dict" -artifact_prefix="$work/findings/"
              -close_fd_mask=2)
  [ "$runs" -eq 0 ] || args+=(-runs="$(( (runs + jobs - 1) / jobs ))")
  # Files the module or the host write (logs, pictures) land in the work dir.
  # Jobs share the corpus: each reads what the others add (libFuzzer -reload).
  local logs=() pids=() job pid
  for ((job = 0; job < jobs; job++)); do
    [ "$jobs" -eq 1 ] || log="$work/last-run-$job.log"
    logs+=("$log")
    (cd "$work" && ASAN_OPTIONS=detect_leaks=1 exec "$bin" "${args[@]}" corpus > "$log" 2>&1) &
    pids+=($!)
  done
  # libFuzzer exits 72 when it is interrupted (SIGINT); that is no finding.
  local interrupted=0
  for pid in "${pids[@]}"; do
    wait "$pid" && continue
    local code=$?
    if [ "$code" -eq 72 ]; then interrupted=1; else status=$code; fi
  done
  local findings verdict=none
  findings="$(comm -13 <(echo "$before") <(ls "$work/findings") | grep -v '^$' || true)"
  if [ -n "$findings" ] || [ "$status" -ne 0 ]; then verdict=FOUND; elif [ "$interrupted" -eq 1 ]; then verdict=interrupted; fi
  printf '%-12s %s %10s   %s\n' "$target" "$(run_figures "${logs[@]}")" "$(ls "$work/corpus" | wc -l)" "$verdict"
  [ "$verdict" = interrupted ] && return 2
  [ "$verdict" = none ] && return 0
  echo "  libFuzzer exited with $status"
  for log in "${logs[@]}"; do
    grep -qE 'ERROR|SUMMARY|runtime error|fuzz finding' "$log" || continue
    echo "  the end of its log ($log):"
    grep -E 'ERROR|SUMMARY|runtime error|fuzz finding|^    #[0-9] ' "$log" | head -20 | sed 's/^/    /'
  done
  for file in $findings; do
    echo "  reproducer: $work/findings/$file"
    echo "  re-run:     (cd $work && $bin $work/findings/$file)"
  done
  return 1
}

# Keeps only the inputs that add coverage (libFuzzer -merge=1) and prints
# the corpus size before and after.
minimise_corpus() {
  local target=$1 work="$build/fuzz-work/$1"
  local bin="$build/fuzz/bin/${target}_fuzzer"
  local before
  before="$(ls "$work/corpus" | wc -l)"
  rm -rf "$work/corpus-min" && mkdir -p "$work/corpus-min"
  (cd "$work" && "$bin" -merge=1 -max_len="$(max_len "$target")" -timeout=10 -rss_limit_mb=2048 corpus-min corpus \
    > "$work/merge.log" 2>&1) || { echo "  $target: the merge failed, corpus kept as it was ($work/merge.log)"; return 0; }
  rm -rf "$work/corpus" && mv "$work/corpus-min" "$work/corpus"
  echo "  $target: corpus minimised from $before to $(ls "$work/corpus" | wc -l) inputs"
}

[ "$do_build" -eq 0 ] || build_targets

if [ "$runs" -ne 0 ]; then
  echo "== fuzzing ${targets[*]}: each to $runs executions or ${seconds} s"
else
  echo "== fuzzing ${targets[*]} for ${seconds} s each"
fi
printf '%-12s %12s %8s %8s %8s %10s   %s\n' target executions cov ft exec/s corpus findings
failed=0
for target in "${targets[@]}"; do
  outcome=0
  run_target "$target" || outcome=$?
  [ "$outcome" -ne 1 ] || failed=1
  [ "$long" -eq 0 ] || minimise_corpus "$target"
  # An interrupted target ends the run, its corpus kept (and minimised).
  [ "$outcome" -ne 2 ] || { echo "fuzz: interrupted"; [ "$failed" -eq 1 ] && exit 1; exit 130; }
done
exit "$failed"
