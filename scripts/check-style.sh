#!/usr/bin/env bash
# Fails when a source file is not clang-formatted or clang-tidy finds a problem.
#   scripts/check-style.sh [--fix]   (--fix rewrites the files with clang-format)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

mapfile -t files < <(git ls-files -co --exclude-standard -- '*.h' '*.cpp' '*.c' | grep -vE '^(build|out)' || true)
[ ${#files[@]} -gt 0 ] || exit 0

if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi

clang-format --dry-run -Werror "${files[@]}"

# clang-tidy over our own translation units, using the main build's compile
# database; units that only the Windows builds compile are left to the
# cross compiler's warnings.
mapfile -t compiled < <(jq -r '.[].file' build/compile_commands.json | sed "s|^$root/||")
mapfile -t units < <(printf '%s\n' "${files[@]}" | grep -E '\.cpp$' | grep -Fxf <(printf '%s\n' "${compiled[@]}") || true)
[ ${#units[@]} -gt 0 ] || exit 0
run_tidy=(clang-tidy -p build --quiet --warnings-as-errors='*')
printf '%s\n' "${units[@]}" | xargs -P "$(nproc)" -n 4 "${run_tidy[@]}" 2>/dev/null
