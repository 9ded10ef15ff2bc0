#!/usr/bin/env bash
# Sets everything up (packages, build with warnings as errors) and runs the
# whole test suite with ctest (the browser tests in headless chromium and the
# real-host tests in tallwick-shell among them), the Windows builds' checks
# and their tests under Wine (i686 and x86_64), then the Linux suite under
# AddressSanitizer (without the shell, which is Qt's and Chromium's code more
# than ours), then every fuzz target for a short while.
#
#   scripts/test.sh [--quick] [-L label] [ctest args...]
#     --quick   skip the sanitizer pass, the format/lint checks and fuzzing
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
jobs="$(nproc)"

# Each step says what it is; at the end, how long each took.
# shellcheck source=scripts/step-timer.sh
source "$here/step-timer.sh"
trap step_times EXIT

quick=0
ctest_args=()
for arg in "$@"; do
  case "$arg" in
    --quick) quick=1 ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) ctest_args+=("$arg") ;;
  esac
done

step "set-up and Linux build"
"$here/setup.sh" --windows --browser --shell --build-dir "$root/build" -- -DTALLWICK_WERROR=ON -DTALLWICK_WINDOWS_CHECKS=ON
# Here the browser tests fail when their browser is missing, never skip.
export TALLWICK_BROWSER_TESTS=required TALLWICK_REALHOST_TESTS=required
# The Linux suite checks the DLLs' tables, so the Windows builds come first.
step "Windows builds"
"$here/build-windows.sh"

# A test without a time limit of its own gets ten minutes.
ctest_run() { ctest --output-on-failure --timeout 600 -j "$jobs" "$@"; }

step "tests"
ctest_run --test-dir "$root/build" "${ctest_args[@]}"

step "Windows tests under Wine: i686 under 32-bit Wine"
ctest_run --test-dir "$root/build-win32" "${ctest_args[@]}"
step "Windows tests under Wine: x86_64 under wine64"
ctest_run --test-dir "$root/build-win64" "${ctest_args[@]}"

[ "$quick" -eq 1 ] && exit 0

step "format and lint"
"$here/check-style.sh"

step "sanitizer build"
"$here/setup.sh" --build-dir "$root/build-asan" --build-type Debug -- \
  -DTALLWICK_WERROR=ON -DTALLWICK_BENCH=OFF -DTALLWICK_SHELL=OFF -DTALLWICK_SANITIZE=address,undefined
step "tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# intercept_tls_get_addr=0: at exit LeakSanitizer's tracer walks, thread by
# thread, the dynamic TLS blocks that the runtime learnt of through its
# __tls_get_addr interceptor, and now and then died there ("Tracer caught
# signal 11", after every test in the process had passed, no leak reported;
# GalleryHostileLayoutTest.TenThousandTiles in every run, with or without
# llvmpipe's threads). GCC 12's runtime guesses a block's bounds from a header
# that glibc stopped writing in 2.25, so a block that happens to sit where that
# header would be gets bounds read from whatever lies before it. Without the
# interceptor the tracer never walks them: the leak check no longer looks into
# dynamic TLS, where none of our allocations live.
ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 ctest_run --test-dir "$root/build-asan" -LE slow \
  "${ctest_args[@]}"

step "fuzzing: every target for a short bounded time"
"$here/fuzz.sh" --seconds 20
