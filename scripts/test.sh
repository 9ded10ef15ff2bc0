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

quick=0
ctest_args=()
for arg in "$@"; do
  case "$arg" in
    --quick) quick=1 ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    *) ctest_args+=("$arg") ;;
  esac
done

"$here/setup.sh" --windows --browser --shell --build-dir "$root/build" -- -DTALLWICK_WERROR=ON -DTALLWICK_WINDOWS_CHECKS=ON
# Here the browser tests fail when their browser is missing, never skip.
export TALLWICK_BROWSER_TESTS=required TALLWICK_REALHOST_TESTS=required
# The Linux suite checks the DLLs' tables, so the Windows builds come first.
"$here/build-windows.sh"

echo "== tests"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs" "${ctest_args[@]}"

echo "== Windows tests under Wine: i686 under 32-bit Wine, x86_64 under wine64"
ctest --test-dir "$root/build-win32" --output-on-failure -j "$jobs" "${ctest_args[@]}"
ctest --test-dir "$root/build-win64" --output-on-failure -j "$jobs" "${ctest_args[@]}"

[ "$quick" -eq 1 ] && exit 0

echo "== format and lint"
"$here/check-style.sh"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
no_leak_check='GalleryHostileLayoutTest\.TenThousandTiles$'
"$here/setup.sh" --build-dir "$root/build-asan" --build-type Debug -- \
  -DTALLWICK_WERROR=ON -DTALLWICK_BENCH=OFF -DTALLWICK_SHELL=OFF -DTALLWICK_SANITIZE=address,undefined
# A test that fails is run up to twice more: now and then LeakSanitizer's own
# stop-the-world tracer crashes at process exit ("Tracer caught signal 11")
# after every test in the process has passed, and reports no leak; under load
# it has hit the same long test twice in a row. Memory faults and leaks fail
# every run; the log shows the first one.
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs" -LE slow \
  -E "$no_leak_check" --repeat until-pass:3 "${ctest_args[@]}"
# At the exit of this one long test LeakSanitizer's tracer crashed three runs
# out of three on 2026-12-08 (after the test had passed, no leak reported);
# it runs under the sanitizers all the same, without the leak check.
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir "$root/build-asan" --output-on-failure -R "$no_leak_check" \
  "${ctest_args[@]}"

echo "== fuzzing: every target for a short bounded time"
"$here/fuzz.sh" --seconds 20
