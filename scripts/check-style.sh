#!/usr/bin/env bash
# Fails when a source file is not clang-formatted or clang-tidy finds a problem.
#
#   scripts/check-style.sh [--all | --fix]
#     (none)  clang-format over every file; clang-tidy over what ships: the
#             module (src/), the frame-writer library (writer/) and the log
#             back end (logger/), with their naming convention
#             (readability-identifier-naming: the convention in .clang-tidy,
#             the names the module's definition fixes listed once in
#             src/.clang-tidy). This is what the test command runs.
#     --all   clang-tidy over every unit of the main build as well: pphost,
#             frame-publisher, the tests, benchmarks and the shell. About
#             twenty minutes on two cores, so run it before a change to those
#             lands, not in every test run.
#     --fix   rewrites the files with clang-format
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

mapfile -t files < <(git ls-files -co --exclude-standard -- '*.h' '*.cpp' '*.c' | grep -vE '^(build|out)' || true)
[ ${#files[@]} -gt 0 ] || exit 0

scope=shipped
case "${1:-}" in
  "") ;;
  --all) scope=all ;;
  --fix)
    clang-format -i "${files[@]}"
    exit 0
    ;;
  -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
  *) echo "check-style: unknown option: $1 (see --help)" >&2; exit 2 ;;
esac

clang-format --dry-run -Werror "${files[@]}"

# clang-tidy over our own translation units, using the main build's compile
# database; units that only the Windows builds compile are left to the
# cross compiler's warnings. .clang-tidy makes every finding an error.
mapfile -t compiled < <(jq -r '.[].file' build/compile_commands.json | sed "s|^$root/||")
mapfile -t units < <(printf '%s\n' "${files[@]}" | grep -E '\.cpp$' | grep -Fxf <(printf '%s\n' "${compiled[@]}") || true)
if [ "$scope" = shipped ]; then
  mapfile -t units < <(printf '%s\n' "${units[@]}" | grep -E '^(src|writer|logger)/' || true)
fi
[ ${#units[@]} -gt 0 ] || exit 0
# run-clang-tidy takes regular expressions searched in the database's
# absolute paths: each unit's own, anchored. It prints each command line
# before its findings, in colour, and clang-tidy counts its warnings on
# stderr: the findings alone remain, plain.
mapfile -t patterns < <(printf '%s\n' "${units[@]/#/$root/}" | sed -e 's/[][\.*^$()+?{}|]/\\&/g' -e 's/^/^/' -e 's/$/$/')
run-clang-tidy -p build -quiet -j "$(nproc)" "${patterns[@]}" \
  2> >(grep -vE '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' >&2) |
  sed -E -e '/^[^ ]*clang-tidy(-[0-9]+)? /d' -e 's/\x1b\[[0-9;]*m//g'
