# shellcheck shell=bash
# Sourced by the scripts that run in steps: `step NAME` ends the step before
# and says what the next one is; `step_times` ends the last one and prints
# how long each took and the total (a line per step), so that a slow step
# shows before a run outgrows its budget.
steps=()
step_name=""
step_start=$SECONDS
step() {
  [ -z "$step_name" ] || steps+=("$(printf '%6d s  %s' $((SECONDS - step_start)) "$step_name")")
  step_name="$1"
  step_start=$SECONDS
  [ -z "$1" ] || echo "== $1"
}
step_times() {
  step ""
  echo "== time per step (total $SECONDS s)"
  [ ${#steps[@]} -eq 0 ] || printf '%s\n' "${steps[@]}"
}
