# shellcheck shell=bash
# realhost_bench.sh, sourced: the processes it starts and ends, their CPU
# time from /proc, and frame-publisher.

# --- processes of this script, ended on every way out ------------------------

publisher_pid=""
shell_pid=""
sampler_pid=""
pphost_pid=""
segment_prefix="tallwick-rhb-$$-"

end_process() {
  [ -n "$1" ] || return 0
  kill "$1" 2> /dev/null || true
  wait "$1" 2> /dev/null || true
}

cleanup() {
  end_process "$sampler_pid"
  end_process "$shell_pid"
  end_process "$pphost_pid"
  end_process "$publisher_pid"
  # frame-publisher removes its segments when it ends; these are what a
  # killed one left.
  rm -f /dev/shm/"$segment_prefix"*
}

# --- CPU time from /proc, without forking (the sampler runs 4 times a second)

# cpu_ms PID VAR: the process's user + system time so far in ms (0 when gone).
cpu_ms() {
  local stat fields
  if [ -z "$1" ] || ! read -r stat 2> /dev/null < "/proc/$1/stat"; then
    printf -v "$2" '%s' 0
    return
  fi
  # Fields count from the last ')': the command name may hold spaces.
  read -r -a fields <<< "${stat##*) }"
  printf -v "$2" '%s' $(( (fields[11] + fields[12]) * 1000 / clk_tck ))
}

# machine_busy_ms VAR: time all cores spent on anything but idle and I/O wait.
machine_busy_ms() {
  local _ user nice system irq softirq steal
  # cpu user nice system idle iowait irq softirq steal ...
  read -r _ user nice system _ _ irq softirq steal _ < /proc/stat
  printf -v "$1" '%s' $(( (user + nice + system + irq + softirq + steal) * 1000 / clk_tck ))
}

# now_us VAR: wall time in microseconds.
now_us() { printf -v "$1" '%s' "${EPOCHREALTIME//[.,]/}"; }

# --- frame-publisher ------------------------------------------------------------

# The meeting's users, as scripts/demo.sh publishes them: user, then the
# stream's keys.
meeting_streams() { grep -v '^#' "$root/scenarios/meeting-streams.txt"; }

# Twenty-five 320x180 I420 users, each in a colour of its own.
scale_streams() {
  local n
  for n in $(seq 25); do
    echo "u$n;width=320;height=180;format=I420;pattern=tile:$(( n * 97 % 256 )),$(( n * 53 % 256 )),$(( n * 151 % 256 ));label=$n"
  done
}

# start_publisher DIR < streams: frame-publisher on those streams at 30 fps
# until stopped; sets `diffs`, the segment list it prints once all exist.
start_publisher() {
  local dir="$1" spec uid args=()
  while IFS= read -r spec; do
    uid="${spec%%;*}"
    args+=(--stream "name=/$segment_prefix$uid;uid=$uid;sid=s${uid#u};${spec#*;}")
  done
  "$bin/frame-publisher" "${args[@]}" --fps "$kFps" > "$dir/publisher.txt" 2> "$dir/publisher.log" &
  publisher_pid=$!
  for _ in $(seq 100); do
    [ -s "$dir/publisher.txt" ] && break
    sleep 0.1
  done
  diffs="$(head -n 1 "$dir/publisher.txt")"
  [ -n "$diffs" ] || die "frame-publisher did not start; see $dir/publisher.log"
}

stop_publisher() {
  end_process "$publisher_pid"
  publisher_pid=""
}
