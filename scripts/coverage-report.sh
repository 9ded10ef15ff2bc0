#!/usr/bin/env bash
# Reports how much of src/ a set of runs covered, from their raw profiles
# (clang source-based coverage): merges the profiles, prints line and branch
# coverage per folder of src/ with a total, then per folder the files with the
# most uncovered lines: their uncovered line ranges and the conditions taken
# one way only, each with the function it lies in and its line of code.
# scripts/coverage.sh calls it.
#
#   scripts/coverage-report.sh --title TEXT --profiles DIR --out DIR [--files N] [--ranges N] OBJECT...
#     --title TEXT     what was measured (the heading of the table)
#     --profiles DIR   the *.profraw files of the runs
#     --out DIR        where coverage.profdata, coverage.md (the table and the
#                      list as Markdown), coverage-html/ (every line) and
#                      coverage-total.txt (the total row in words) go
#     --files N        files listed per folder (default 3)
#     --ranges N       uncovered ranges (largest first) and one-way conditions
#                      listed per file, each (default 6)
#     OBJECT...        the instrumented programs and libraries that ran
# Only code that an OBJECT holds is counted: a file of src/ that none links
# does not appear.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
src="$root/src"

title=""
profiles=""
out=""
files_per_folder=3
ranges_per_file=6
objects=()
number() { [[ "$2" =~ ^[0-9]+$ ]] || { echo "coverage-report: $1 needs a number, not '$2'" >&2; exit 2; }; }
while [ $# -gt 0 ]; do
  case "$1" in
    --title|--profiles|--out|--files|--ranges)
      [ $# -ge 2 ] || { echo "coverage-report: $1 needs a value" >&2; exit 2; } ;;&
    --title) title="$2"; shift ;;
    --profiles) profiles="$2"; shift ;;
    --out) out="$2"; shift ;;
    --files) number "$1" "$2"; files_per_folder="$2"; shift ;;
    --ranges) number "$1" "$2"; ranges_per_file="$2"; shift ;;
    -h|--help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    -*) echo "coverage-report: unknown option: $1 (see --help)" >&2; exit 2 ;;
    *) objects+=("$1") ;;
  esac
  shift
done
if [ -z "$title" ] || [ -z "$profiles" ] || [ -z "$out" ]; then
  echo "coverage-report: --title, --profiles and --out are required (see --help)" >&2
  exit 2
fi
[ ${#objects[@]} -gt 0 ] || { echo "coverage-report: no instrumented program or library given" >&2; exit 2; }
for tool in llvm-profdata-14 llvm-cov-14 jq c++filt; do
  command -v "$tool" > /dev/null || { echo "coverage-report: $tool is missing (scripts/setup.sh --coverage installs it)" >&2; exit 1; }
done

mkdir -p "$out"
profdata="$out/coverage.profdata"
work="$out/coverage-work"
rm -rf "$work" "$out/coverage-html"
mkdir -p "$work"

find "$profiles" -name '*.profraw' -size +0 > "$work/profiles.txt"
[ -s "$work/profiles.txt" ] || { echo "coverage-report: no profile in $profiles: nothing ran" >&2; exit 1; }
echo "-- merging $(wc -l < "$work/profiles.txt") profiles"
llvm-profdata-14 merge -sparse -num-threads="$(nproc)" -f "$work/profiles.txt" -o "$profdata"

# llvm-cov takes the first object plainly and the others after -object.
object_args=("${objects[0]}")
for object in "${objects[@]:1}"; do object_args+=(-object "$object"); done
# Its only warning here is "N functions have mismatched data": the records an
# object keeps for inline functions it never emitted (hash 0), or the several
# programs' main(). They are left out and the emitted copies counted.
cov() { llvm-cov-14 "$1" -instr-profile "$profdata" "${object_args[@]}" "${@:2}" 2>> "$work/llvm-cov.log"; }
cov export -format=text "$src" > "$work/export.json"

# One row per file: folder (its first path component under src/), path under
# src/, lines covered, lines, branches covered, branches.
jq -r --arg src "$src/" '.data[0].files[] | select(.filename | startswith($src))
  | (.filename | ltrimstr($src)) as $path
  | [($path | split("/") | if length > 1 then .[0] + "/" else "./" end), $path,
     .summary.lines.covered, .summary.lines.count, .summary.branches.covered, .summary.branches.count]
  | @tsv' "$work/export.json" | sort > "$work/files.tsv"
[ -s "$work/files.tsv" ] || { echo "coverage-report: the objects hold no code of src/" >&2; exit 1; }

# Functions of src/: path, first and last line, name without parameters.
jq -r --arg src "$src/" '.data[0].functions[] | select(.filenames[0] | startswith($src))
  | [(.filenames[0] | ltrimstr($src)), .regions[0][0], .regions[0][2], .name] | @tsv' "$work/export.json" |
  c++filt -p > "$work/functions.tsv"

# The table per folder and the total, as text (format=text) or Markdown (md).
table() {
  awk -F'\t' -v format="$1" '
    function pct(c, n) { return n == 0 ? "-" : sprintf("%.1f%%", 100 * c / n) }
    function row(name, lc, ln, bc, bn) {
      if (format == "md") printf "| %s | %d/%d | %s | %d/%d | %s |\n", name, lc, ln, pct(lc, ln), bc, bn, pct(bc, bn)
      else printf "%-14s %15s %7s %15s %7s\n", name, lc "/" ln, pct(lc, ln), bc "/" bn, pct(bc, bn)
    }
    {
      if (!($1 in lc)) order[++n] = $1
      lc[$1] += $3; ln[$1] += $4; bc[$1] += $5; bn[$1] += $6
      tlc += $3; tln += $4; tbc += $5; tbn += $6
    }
    END {
      if (format == "md") print "| folder | lines | % | branches | % |\n|---|---:|---:|---:|---:|"
      else printf "%-14s %15s %7s %15s %7s\n", "folder", "lines", "%", "branches", "%"
      for (i = 1; i <= n; i++) row(format == "md" ? "`" order[i] "`" : order[i], lc[order[i]], ln[order[i]], bc[order[i]], bn[order[i]])
      row(format == "md" ? "**total**" : "total", tlc, tln, tbc, tbn)
    }' "$work/files.tsv"
}

# Per folder, the files with the most uncovered lines, then branches.
least_covered() {
  awk -F'\t' -v OFS='\t' '{ print $4 - $3, $6 - $5, $0 }' "$work/files.tsv" |
    sort -t$'\t' -k3,3 -k1,1nr -k2,2nr |
    awk -F'\t' -v OFS='\t' -v n="$files_per_folder" '$1 + $2 > 0 && ++seen[$3] <= n { print $3, $4, $5, $6, $7, $8 }'
}

# The least-covered files of each folder with what did not run in them
# (coverage-gaps.awk), as plain text.
listing() {
  least_covered > "$work/least.tsv"
  [ -s "$work/least.tsv" ] || { echo "(every line and branch of src/ that the objects hold ran)"; return; }
  mapfile -t listed < <(cut -f2 "$work/least.tsv")
  cov show -format=text -show-branches=count -show-instantiations=false "${listed[@]/#/$src/}" |
    awk -v src="$src/" -v functions="$work/functions.tsv" -v max="$ranges_per_file" -f "$here/coverage-gaps.awk" \
      > "$work/gaps.tsv"
  awk -F'\t' '
    FNR == NR {
      if ($1 == "FILE") { file = $2; ranges[file] = $3; branches[file] = $4 }
      else if ($1 == "RANGE") block[file] = block[file] sprintf("    %-9s %-38s %s\n", $2, $3, $4)
      else block[file] = block[file] sprintf("    %-9s %-38s %s: %s\n", $2, $3, $4, $5)
      next
    }
    {
      if ($1 != last) { print $1; last = $1 }
      printf "  %s: lines %d/%d, branches %d/%d (uncovered ranges %d, one-way conditions %d)\n",
        $2, $3, $4, $5, $6, ranges[$2], branches[$2]
      printf "%s", block[$2]
    }' "$work/gaps.tsv" "$work/least.tsv"
}

echo "== $title: coverage of src/"
table text | tee "$work/table.txt"
echo
echo "== $title: least covered, per folder (lines or line:column, function, what did not run)"
listing | tee "$work/least-covered.txt"

cov show -format=html -show-branches=count -show-instantiations=false -output-dir "$out/coverage-html" "$src" > /dev/null
{
  echo "# Coverage of src/: $title"
  echo
  echo "Line and branch coverage per folder of \`src/\` (clang source-based coverage),"
  echo "measured at $(git -C "$root" describe --always --dirty 2> /dev/null || echo "an unknown commit")."
  echo
  table md
  echo
  echo "## Least covered"
  echo
  echo "Per folder, the files with the most uncovered lines (then branches); under each,"
  echo "its uncovered line ranges (largest first) and the conditions taken one way only,"
  echo "each with the function it lies in and its line of code."
  echo "Every line: \`coverage-html/index.html\` beside this file."
  echo
  echo '```'
  cat "$work/least-covered.txt"
  echo '```'
} > "$out/coverage.md"
awk -F'\t' '{ lc += $3; ln += $4; bc += $5; bn += $6 }
  END { printf "lines %d/%d (%.1f%%), branches %d/%d (%.1f%%)\n", lc, ln, 100 * lc / ln, bc, bn, bn ? 100 * bc / bn : 0 }' \
  "$work/files.tsv" > "$out/coverage-total.txt"
echo
echo "-- total: $(cat "$out/coverage-total.txt")"
echo "-- written: $out/coverage.md, $out/coverage-html/index.html"
