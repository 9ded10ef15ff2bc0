# shellcheck shell=bash
# realhost_bench.sh, sourced: the cases, each run in both hosts or, for
# attr0, in the shell against a scratch build of the module.

# --- the cases -------------------------------------------------------------------------------

# run_case NAME PAGE SIZE SLACK: the shell on the page, then pphost on the
# same segments with the scenario of the same name; one frame-publisher for
# both.
run_case() {
  local name="$1" page="$2" size="$3" slack="$4" dir="$out/$1"
  mkdir -p "$dir"
  cd "$dir"
  progress "== $name: frame-publisher"
  start_publisher "$dir" < <("${name}_streams")
  progress "$name: tallwick-shell, $size window, $(( (warmup_ms + window_ms) / 1000 + slack )) s"
  run_shell "$name" "$module" "$size" "$slack" "$(page_url "$page")"
  shell_result "$name" "$module"
  write_scenario "$name" "$name.scenario.jsonl"
  check_same_layout "$name"
  progress "$name: pphost --clock real, $(( (warmup_ms + window_ms) / 1000 )) s"
  play_pphost "$name" "$name.scenario.jsonl"
  pphost_result "$name"
  stop_publisher
  cd "$out"
}

# scratch_module DIR POSITION: HEAD's tree copied into DIR (git archive: the
# work tree and the repository stay as they are) with a_position bound to
# POSITION, and the module built in DIR-build. Built again only when HEAD or
# the position changed.
scratch_module() {
  local src="$1" position="$2" rev stamp header
  rev="$(git -C "$root" rev-parse HEAD)"
  stamp="$rev a_position=$position"
  header="$src/src/yuv/gl_program.h"
  if [ -f "$src-build/lib/libtallwick-ppapi-render.so" ] && [ "$(cat "$src/.realhost-bench" 2> /dev/null)" = "$stamp" ]; then
    return
  fi
  # Never remove a folder this script did not make.
  [ ! -e "$src" ] || [ -f "$src/.realhost-bench" ] || die "$src exists and is not a scratch copy of this script"
  rm -rf "$src" "$src-build"
  mkdir -p "$src"
  git -C "$root" archive "$rev" | tar -x -C "$src"
  sed -i "s/^constexpr GLuint kAttribPosition = 3;/constexpr GLuint kAttribPosition = $position;/" "$header"
  grep -q "^constexpr GLuint kAttribPosition = $position;" "$header" ||
    die "cannot set a_position's location in $header"
  progress "attr0: building the module with a_position at $position in $src-build"
  if ! cmake -S "$src" -B "$src-build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLWICK_TESTS=OFF \
         -DTALLWICK_BENCH=OFF -DTALLWICK_SHELL=OFF > "$src-build.log" 2>&1 ||
     ! cmake --build "$src-build" --target tallwick-ppapi-render >> "$src-build.log" 2>&1; then
    die "the scratch build failed; see $src-build.log"
  fi
  echo "$stamp" > "$src/.realhost-bench"
}

run_attr0() {
  local dir="$out/attr0" round variant name variant_module
  mkdir -p "$dir"
  scratch_module "$scratch/attr0-base" 3
  scratch_module "$scratch/attr0" 0
  cd "$dir"
  progress "== attr0: frame-publisher (the meeting's streams)"
  start_publisher "$dir" < <(meeting_streams)
  # A is the unchanged module, B the one with a_position at 0, in turn.
  for (( round = 1; round <= rounds; round++ )); do
    for variant in 3 0; do
      if [ "$variant" = 3 ]; then
        name="A$round" variant_module="$scratch/attr0-base-build/lib/libtallwick-ppapi-render.so"
      else
        name="B$round" variant_module="$scratch/attr0-build/lib/libtallwick-ppapi-render.so"
      fi
      progress "attr0: $name, a_position at location $variant"
      run_shell "$name" "$variant_module" 1960x800 "$kMeetingSlackS" "$(page_url "$root/web/meeting.html")"
      shell_result "$name" "$variant_module"
      jq --arg v "$variant" --argjson round "$round" '.variant = $v | .round = $round' "$name.shell-result.json" \
        > "$name.result.json"
    done
  done
  stop_publisher
  cd "$out"
}
