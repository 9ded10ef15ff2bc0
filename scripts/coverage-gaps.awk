# Reads llvm-cov's line view (show -format=text -show-branches=count) of some
# files and prints what in each did not run, as tab-separated records:
#   FILE    path under src/, uncovered ranges, conditions taken one way only
#   RANGE   lines, function, first line of code       (largest ranges first)
#   BRANCH  line:column, function, "never true" or "never false", the line
# at most `max` of each kind per file. An uncovered line has the count 0;
# lines without code between two uncovered lines join their range. A
# condition counts as one-way when no instantiation of its code took the other
# way; one that never ran at all lies in an uncovered range and is not listed
# again.
# Variables: src (the src/ folder, with a final slash), functions (a file of
# "path, first line, last line, name" rows: the functions the ranges are named
# by, the innermost one around a range's first line), max.

BEGIN {
  FS = OFS = "\t"
  while ((getline row < functions) > 0) {
    split(row, f, "\t")
    k = ++count[f[1]]
    first[f[1], k] = f[2]; last[f[1], k] = f[3]; name[f[1], k] = f[4]
  }
}

# Namespaces (lower-case or macro names), template arguments, the
# parameters of an enclosing function and ABI tags go; classes stay.
function short(n) {
  sub(/^[^ :]*\.(cpp|cc|c|h):/, "", n)  # a file-local function: its file first
  gsub(/\[abi:[^]]*\]/, "", n)
  gsub(/\(anonymous namespace\)::/, "", n)
  while (match(n, /^([a-z_0-9]+|[A-Z_0-9]+)::/)) n = substr(n, RLENGTH + 1)
  while (match(n, /<[^<>]*>/)) n = substr(n, 1, RSTART - 1) substr(n, RSTART + RLENGTH)
  gsub(/\([^()]*\)::/, "::", n)
  sub(/::\$_[0-9]+::operator\(\)( const)?$/, " lambda", n)
  return n
}

function enclosing(at,   i, best, span) {
  best = "-"; span = -1
  for (i = 1; i <= count[file]; i++)
    if (first[file, i] <= at && at <= last[file, i] && (span < 0 || last[file, i] - first[file, i] < span)) {
      best = short(name[file, i]); span = last[file, i] - first[file, i]
    }
  return best
}

function clip(text) { return length(text) > 60 ? substr(text, 1, 57) "..." : text }

function close_range() {
  if (!start) return
  ranges++; rstart[ranges] = start; rend[ranges] = end; start = 0
}

function flush(   i, j, t, where, oneway, listed) {
  close_range()
  if (file == "") return
  # Largest first; on a tie, the earlier one (insertion sort: few ranges).
  for (i = 1; i <= ranges; i++) order[i] = i
  for (i = 2; i <= ranges; i++)
    for (j = i; j > 1 && rend[order[j]] - rstart[order[j]] > rend[order[j - 1]] - rstart[order[j - 1]]; j--) {
      t = order[j]; order[j] = order[j - 1]; order[j - 1] = t
    }
  listed = ""
  for (i = 1; i <= ranges && i <= max; i++) {
    j = order[i]
    listed = listed "RANGE" OFS (rstart[j] == rend[j] ? rstart[j] : rstart[j] "-" rend[j]) OFS enclosing(rstart[j]) \
      OFS clip(code[rstart[j]]) ORS
  }
  oneway = 0
  for (i = 1; i <= branches; i++) {
    where = bwhere[i]
    if (tookTrue[where] == tookFalse[where]) continue
    if (++oneway > max) continue
    listed = listed "BRANCH" OFS where OFS enclosing(bline[i]) OFS (tookTrue[where] ? "never false" : "never true") \
      OFS clip(code[bline[i]]) ORS
  }
  print "FILE", file, ranges, oneway
  printf "%s", listed
  ranges = 0; branches = 0
  delete code; delete tookTrue; delete tookFalse
}

/^\/.*:$/ {
  flush()
  file = substr($0, 1, length($0) - 1)
  if (index(file, src) == 1) file = substr(file, length(src) + 1)
  next
}

match($0, /^ *[0-9]+\|[^|]*\|/) {
  split(substr($0, 1, RLENGTH), cell, "|")
  number = cell[1] + 0
  runs = cell[2]; gsub(/ /, "", runs)
  text = substr($0, RLENGTH + 1); gsub(/^[ \t]+|[ \t]+$/, "", text)
  code[number] = text
  if (runs == "0") {
    if (!start) start = number
    end = number
  } else if (runs != "") close_range()
  next
}

match($0, /Branch \([0-9]+:[0-9]+\): \[True: [^,]*, False: [^]]*\]/) {
  split(substr($0, RSTART, RLENGTH), part, /[():,\]]/)
  # part: "Branch ", line, column, "", " [True", " count", " False", " count"
  onTrue = part[6]; onFalse = part[8]; gsub(/ /, "", onTrue); gsub(/ /, "", onFalse)
  where = part[2] ":" part[3]
  if (!(where in tookTrue)) { branches++; bline[branches] = part[2] + 0; bwhere[branches] = where }
  tookTrue[where] = tookTrue[where] || onTrue != "0"
  tookFalse[where] = tookFalse[where] || onFalse != "0"
}

END { flush() }
