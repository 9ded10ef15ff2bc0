#!/usr/bin/env bash
# shellcheck disable=SC2016  # the jq programs are in single quotes on purpose
# The module in a real Chromium Pepper host (tallwick-shell: Qt WebEngine
# 5.15, Chromium 87) beside pphost on the same frames, layout and messages,
# on this machine's software GL. Cases (--cases, all by default):
#
#   meeting  web/meeting.html as it is: frame-publisher writes nine streams at
#            30 fps (u1 1280x720 I420, rows padded by 64 bytes, into the
#            640x360 speaker; u2..u9 640x360, u3 NV12) and the 1280x720
#            gallery shows all nine as a 3x3 grid of 418x232 tiles. Then pphost
#            (--clock real) plays the same elements, views and messages.
#   scale    bench/realhost/pages/scale.html: sixteen 320x180 single-stream elements
#            (users 1..16) and a 1600x900 gallery of 5x5 tiles of 320x180
#            (users 1..25), 25 I420 streams of 320x180 at 30 fps; then pphost.
#   attr0    the meeting case in the shell only, the module against a scratch
#            build whose program binds a_position to location 0 (no attribute
#            0 emulation in Chromium's GL decoder), alternating A B A B...
#            (--rounds pairs). Both modules are built from the same copy of
#            HEAD (git archive) in /tmp, the only difference being that line;
#            nothing in the work tree changes.
#
# Every figure is taken over one window: each render element is asked for
# its counts (GET_FRAME_COUNT) WARMUP ms after the segments are registered
# (scale: after the last element answered START_RENDER) and again WINDOW ms
# later. Per element and gallery tile: frames presented (the
# frameCount delta) / frames published (30 fps x the delta of the module's
# own timestamps). CPU over the same window: in the shell per process from
# its "processes" lines (taken every 0.5 s, interpolated to the times of the
# two replies), Xvfb, frame-publisher and the whole machine from /proc; in
# pphost the process itself, read from /proc while it waits between lines.
# Progress lines as it goes, tables at the end; every output file stays in
# the output folder.
#
#   bench/realhost/realhost_bench.sh [--build DIR] [--out DIR] [--cases meeting,scale,attr0]
#                                    [--rounds N] [--warmup-ms MS] [--window-ms MS]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"

readonly kFps=30
# Seconds the shell runs beyond warm-up and window, for what comes before
# the warm-up: its own start-up (the page and the plug-in process) and on the
# scale page the start of seventeen elements, a few seconds on a busy
# software GL.
readonly kMeetingSlackS=4
readonly kScaleSlackS=10
readonly kAttr0Warning="Attribute 0 is disabled"

build="$root/build"
out=""
cases="meeting,scale,attr0"
rounds=2
warmup_ms=2000
window_ms=10000
scratch="/tmp"

# The comment block at the top of this file.
usage() { awk 'NR > 1 && /^# shellcheck/ { next } NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; }
die() { echo "realhost_bench: $*" >&2; exit 1; }
progress() { printf '%s  %s\n' "$(date +%H:%M:%S)" "$*"; }

while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift ;;
    --out) out="$2"; shift ;;
    --cases) cases="$2"; shift ;;
    --rounds) rounds="$2"; shift ;;
    --warmup-ms) warmup_ms="$2"; shift ;;
    --window-ms) window_ms="$2"; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "realhost_bench: unknown argument: $1" >&2; usage >&2; exit 2 ;;
  esac
  shift
done
bin="$build/bin"
module="$build/lib/libtallwick-ppapi-render.so"
for tool in tallwick-shell pphost frame-publisher; do
  [ -x "$bin/$tool" ] || die "no $bin/$tool: build the project first (scripts/setup.sh)"
done
for tool in jq Xvfb pgrep column; do
  command -v "$tool" > /dev/null || die "$tool is missing (scripts/setup.sh --shell installs what the shell needs)"
done
[ -n "$out" ] || out="$(mktemp -d /tmp/realhost-bench.XXXXXX)"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
clk_tck="$(getconf CLK_TCK)"

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
trap cleanup EXIT
trap 'exit 130' INT TERM

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
meeting_streams() { grep -v '^#' "$root/examples/meeting-streams.txt"; }

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

# --- tallwick-shell ---------------------------------------------------------------

# The shell writes no CPU for Xvfb, frame-publisher or the rest of the
# machine; this writes them 4 times a second while the shell runs, as JSON
# lines with `t` in ms since the shell was started (its own lines' clock,
# give or take its start-up).
sample_outside_shell() {
  local started="$1" now xvfb="" xvfb_ms publisher_ms machine
  while kill -0 "$shell_pid" 2> /dev/null; do
    # Xvfb is the shell's child; it appears after a moment.
    [ -n "$xvfb" ] || xvfb="$(pgrep -P "$shell_pid" -x Xvfb || true)"
    now_us now
    cpu_ms "$xvfb" xvfb_ms
    cpu_ms "$publisher_pid" publisher_ms
    machine_busy_ms machine
    printf '{"t":%s,"xvfb":%s,"publisher":%s,"machine":%s}\n' \
      "$(( (now - started) / 1000 ))" "$xvfb_ms" "$publisher_ms" "$machine"
    sleep 0.25
  done
}

# run_shell NAME MODULE SIZE SLACK PAGE: one headless run of the shell; its
# lines in NAME.shell.jsonl, Chromium's standard error in NAME.shell.stderr,
# the sampler's lines in NAME.outside.jsonl.
run_shell() {
  local name="$1" shell_module="$2" size="$3" slack="$4" page="$5"
  local seconds=$(( (warmup_ms + window_ms) / 1000 + slack ))
  local at=() half started status=0
  # A processes line every half second, so that the CPU at the replies'
  # times can be interpolated (the shell's own clock starts before the page
  # registers the segments, so fixed times would miss the window).
  for (( half = 1; half < 2 * seconds; half++ )); do
    at+=(--processes-at "$(( half / 2 )).$(( half % 2 * 5 ))")
  done
  now_us started
  "$bin/tallwick-shell" --headless --module "$shell_module" --size "$size" --seconds "$seconds" "${at[@]}" \
    "$page" > "$name.shell.jsonl" 2> "$name.shell.stderr" &
  shell_pid=$!
  sample_outside_shell "$started" > "$name.outside.jsonl" &
  sampler_pid=$!
  wait "$shell_pid" || status=$?
  shell_pid=""
  wait "$sampler_pid" || true
  sampler_pid=""
  [ "$status" -eq 0 ] || die "tallwick-shell ended with status $status; see $name.shell.jsonl and $name.shell.stderr"
}

# A page of this tree with its query (the shell serves any local path).
page_url() {
  local file="$1" query
  query="$(jq -rn --arg d "$diffs" --arg c "$warmup_ms,$(( warmup_ms + window_ms ))" \
    '"diffs=\($d | @uri)&countAt=\($c)"')"
  echo "$file?$query"
}

# --- pphost --------------------------------------------------------------------------

# The pphost scenario of a case: the page's elements, messages and views in
# the page's order, the layout computed as the page computes it, and two
# GET_FRAME_COUNT rounds with a `{"op":"#sample"}` line after each (taken by
# play_pphost, not sent).
readonly kScenario='
def message($id; $command; $data):
  {op: "message", id: $id, msg: {command: $command, data: $data, custom: {uuid: "\($id)-\($command)"}}};
def tile($user; $place):
  {streamId: $user.sid, userId: $user.uid, isSelf: false, streamType: "CAMERA",
   renderConfig: ({isMirror: false, renderMode: 0, backgroundColor: [0.16, 0.17, 0.2, 1.0]} + $place)};
# web/meeting.html: a 3 x 3 grid with 6 px gaps over the 1280x720 gallery.
def meeting_page($users):
  {speakers: [{id: "speaker", user: $users[0], rect: [1290, 0, 640, 360]}],
   gallery: {id: "gallery", rect: [0, 0, 1280, 720],
     tiles: [$users[:9] | to_entries[] | .key as $i
       | tile(.value; {left: (6 + ($i % 3) * 424), top: (6 + (($i / 3) | floor) * 238), width: 418, height: 232})]}};
# bench/realhost/pages/scale.html: 320x180 speakers four to a row, and a 1600x900
# gallery with ceil(sqrt(n)) columns of 320x180 tiles, no gaps.
def scale_page($users):
  ([$users[:25] | length | sqrt | ceil] | .[0]) as $columns
  | {speakers: [$users[:16] | to_entries[] | .key as $i
       | {id: "speaker\($i + 1)", user: .value, rect: [($i % 4) * 320, (($i / 4) | floor) * 180, 320, 180]}],
     gallery: {id: "gallery", rect: [1290, 0, 1600, 900],
       tiles: [$users[:25] | to_entries[] | .key as $i
         | tile(.value; {left: (($i % $columns) * 320), top: ((($i / $columns) | floor) * 180), width: 320, height: 180})]}};
def counts($page): ($page.speakers[].id, $page.gallery.id) as $id | message($id; "GET_FRAME_COUNT"; {});
($diffs | fromjson) as $segments
| [$segments[] | select(.isScreen | not) | {uid, sid}] as $users
| (if $layout == "meeting" then meeting_page($users) else scale_page($users) end) as $page
| {op: "create", id: "controller", attrs: [["data-controller", ""]]},
  ($page.speakers[] | {op: "create", id: .id, attrs: []}),
  {op: "create", id: $page.gallery.id, attrs: [["data-multi", ""]]},
  message("controller"; "INIT"; {logPath: "", logVersion: 1, crashHandlerPath: ""}),
  message("controller"; "SET_MEETING_INFO"; {selfSid: "s0", selfUid: "me"}),
  message("controller"; "DO_UPDATE_SHARED_MEMORY"; {op: 0, diffs: $segments}),
  ($page.speakers[]
    | message(.id; "INIT"; {logPath: "", logVersion: 1, uuid: .id, fps: 30, uid: .user.uid, sid: .user.sid,
                            renderExceptionThreshold: 2000, dpr: 1}),
      {op: "view", id: .id, rect: .rect},
      message(.id; "START_RENDER"; {})),
  ($page.gallery
    | message(.id; "INIT"; {logPath: "", logVersion: 1, uuid: .id, fps: 30, renderExceptionThreshold: 2000, dpr: 1,
                            backgroundColor: [0.05, 0.05, 0.07, 1.0]}),
      {op: "view", id: .id, rect: .rect},
      message(.id; "UPDATE_MULTI_INFOS"; {renderInfos: .tiles}),
      message(.id; "START_RENDER"; {})),
  {op: "run", ms: $warmup},
  counts($page), {op: "#sample"},
  {op: "run", ms: $window},
  counts($page), {op: "#sample"},
  {op: "shutdown"}'

write_scenario() {
  jq -nc --arg diffs "$diffs" --arg layout "$1" --argjson warmup "$warmup_ms" --argjson window "$window_ms" \
    "$kScenario" > "$2"
}

# The CPU of pphost, frame-publisher and the machine now, as a JSON line.
sample_pphost() {
  local now pphost_ms publisher_ms machine
  now_us now
  cpu_ms "$pphost_pid" pphost_ms
  cpu_ms "$publisher_pid" publisher_ms
  machine_busy_ms machine
  printf '{"t":%s,"pphost":%s,"publisher":%s,"machine":%s}\n' \
    "$(( now / 1000 ))" "$pphost_ms" "$publisher_ms" "$machine"
}

# read_until_ack SEQ FD OUT: copies pphost's lines to OUT up to the ack of
# input line SEQ.
read_until_ack() {
  local line
  while IFS= read -r -t 60 line <&"$2"; do
    printf '%s\n' "$line" >> "$3"
    case "$line" in '{"kind":"ack","seq":'"$1"',"op"'*) return 0 ;; esac
  done
  return 1
}

# play_pphost NAME SCENARIO: pphost on the real clock, fed one line at a time
# so that its CPU is read exactly between two lines (between lines it runs
# nothing: the loop is served only during `run`). Output in NAME.pphost.jsonl,
# samples in NAME.pphost-cpu.jsonl.
play_pphost() {
  local name="$1" scenario="$2" line seq=0 to from
  : > "$name.pphost.jsonl"
  : > "$name.pphost-cpu.jsonl"
  coproc PPHOST { exec "$bin/pphost" --module "$module" --clock real 2> "$name.pphost.stderr"; }
  # shellcheck disable=SC2153  # set by coproc
  pphost_pid=$PPHOST_PID
  to="${PPHOST[1]}" from="${PPHOST[0]}"
  while IFS= read -r line; do
    if [ "$line" = '{"op":"#sample"}' ]; then
      sample_pphost >> "$name.pphost-cpu.jsonl"
      continue
    fi
    seq=$(( seq + 1 ))
    printf '%s\n' "$line" >&"$to"
    read_until_ack "$seq" "$from" "$name.pphost.jsonl" || die "pphost did not answer line $seq; see $name.pphost.jsonl"
  done < "$scenario"
  # The end of its input: pphost has shut the module down and exits.
  exec {to}>&-
  wait "$pphost_pid" || die "pphost ended with an error; see $name.pphost.jsonl"
  pphost_pid=""
}

# --- results ------------------------------------------------------------------------

# Shared by the result programs: per element its two GET_FRAME_COUNT replies
# and a row per stream key; linear interpolation of CPU samples.
readonly kSortKey='
# Natural order (u2 before u10), the gallery after the speakers.
def sortkey: [startswith("gallery"), (match("^[^0-9]*").string), ((match("[0-9]+").string | tonumber) // 0)];'
readonly kCommon="$kSortKey"'
def counted($lines):
  [$lines[] | select(.kind == "post" and .msg.response? == "GET_FRAME_COUNT")]
  | group_by(.id) | map(select(length >= 2) | {id: .[0].id, t0: .[0].t, t1: .[1].t, a: .[0].msg.data, b: .[1].msg.data});
def rows($counted):
  [$counted[] as $e | $e.a | keys[] as $k | $e.a[$k] as $x | $e.b[$k] as $y
   | {id: $e.id, key: $k, frame: "\($y.width)x\($y.height)", view: "\($y.viewWidth)x\($y.viewHeight)",
      frames: ($y.frameCount - $x.frameCount), ts_ms: ($y.timestamp - $x.timestamp)}
   | .published = .ts_ms * $fps / 1000]
  | sort_by((.id | sortkey), (.key | sortkey));
# Frames drawn by all elements: a gallery counts its presents once, not per tile.
def drawn($rows): [$rows | group_by(.id)[] | max_by(.frames).frames] | add;
def at($samples; $t):
  ([$samples[] | select(.t <= $t)] | last) as $a
  | ([$samples[] | select(.t >= $t)] | first) as $b
  | if $a == null or $b == null then error("no CPU sample around t=\($t)") else
      (if $b.t > $a.t then ($t - $a.t) / ($b.t - $a.t) else 0 end) as $f
      | reduce ($a | keys[] | select(. != "t")) as $k ({}; .[$k] = $a[$k] + ($b[$k] - $a[$k]) * $f)
    end;
def spent($samples; $t0; $t1): at($samples; $t0) as $a | at($samples; $t1) as $b
  | reduce ($a | keys[]) as $k ({}; .[$k] = $b[$k] - $a[$k]);'

# The shell's processes lines as CPU samples. "gpu" is gpu_cpu_ms (the GPU
# thread of the browser and llvmpipe's threads), "browser" the rest of it.
readonly kShellResult="$kCommon"'
def process_samples($lines):
  [$lines[] | select(.kind == "processes") | {t} + (.list | {
     plugin: (map(select(.type == "plugin").cpu_ms) | add // 0),
     gpu: (map(select(.type == "browser").gpu_cpu_ms) | add // 0),
     browser: (map(select(.type == "browser") | .cpu_ms - .gpu_cpu_ms) | add // 0),
     renderer: (map(select(.type == "renderer").cpu_ms) | add // 0),
     chromium_other: (map(select(.type as $t | ["browser", "plugin", "renderer"] | index($t) | not).cpu_ms) | add // 0)})];
# Per round of GET_FRAME_COUNT, the longest time from the page sending it to
# the page getting the reply: the plug-in main thread answers it between
# paints, so a busy one answers late.
def reply_delays($lines; $counted):
  ([$lines[] | select(.kind == "sent" and .msg.command == "GET_FRAME_COUNT")] | group_by(.id)
   | map({key: .[0].id, value: map(.t)}) | from_entries) as $sent
  | [0, 1] | map(. as $i | [$counted[] | (if $i == 0 then .t0 else .t1 end) - $sent[.id][$i]] | max);
counted($lines) as $counted
| if ($counted | length) == 0 then error("no element answered GET_FRAME_COUNT twice") else . end
| ($counted | map(.t0) | min) as $t0 | ($counted | map(.t1) | min) as $t1
| rows($counted) as $rows
| {name: $name, host: "shell", module: $module_path, window_ms: ($t1 - $t0), rows: $rows, drawn: drawn($rows),
   cpu: (spent(process_samples($lines); $t0; $t1) + spent($outside; $t0; $t1)),
   reply_delay_ms: reply_delays($lines; $counted),
   attr0_warnings: [$lines[] | select(.kind == "console" and .t >= $t0 and .t <= $t1
                                      and (.text | contains($warning))) | .repeated // 1] | add // 0}
| .cpu.ours = ([.cpu | to_entries[] | select(.key != "machine").value] | add)'

readonly kPphostResult="$kCommon"'
counted($lines) as $counted
| rows($counted) as $rows
| if ($samples | length) != 2 then error("want two CPU samples, got \($samples | length)") else . end
| {name: $name, host: "pphost", module: $module_path, window_ms: ($samples[1].t - $samples[0].t), rows: $rows,
   drawn: drawn($rows), cpu: spent($samples; $samples[0].t; $samples[1].t)}
| .cpu.ours = .cpu.pphost + .cpu.publisher'

# shell_result NAME MODULE: NAME.result.json from the shell run's files.
shell_result() {
  jq -n --arg name "$1" --arg module_path "$2" --argjson fps "$kFps" --arg warning "$kAttr0Warning" \
    --slurpfile lines "$1.shell.jsonl" --slurpfile outside "$1.outside.jsonl" "$kShellResult" > "$1.shell-result.json"
}

pphost_result() {
  jq -n --arg name "$1" --arg module_path "$module" --argjson fps "$kFps" \
    --slurpfile lines "$1.pphost.jsonl" --slurpfile samples "$1.pphost-cpu.jsonl" "$kPphostResult" \
    > "$1.pphost-result.json"
}

# The shell and pphost must have had the same layout: the page's own
# UPDATE_MULTI_INFOS (from the shell's "sent" lines) against the scenario's.
check_same_layout() {
  local name="$1"
  jq -e -n --slurpfile shell "$name.shell.jsonl" --slurpfile scenario "$name.scenario.jsonl" '
    def tiles(s): [s | select(.msg.command? == "UPDATE_MULTI_INFOS") | .msg.data.renderInfos] | first;
    def speakers(s): [s | select(.msg.command? == "INIT" and .msg.data.uid != null) | [.id, .msg.data.uid, .msg.data.dpr]];
    tiles($shell[] | select(.kind == "sent")) == tiles($scenario[])
    and speakers($shell[] | select(.kind == "sent")) == speakers($scenario[])' > /dev/null ||
    die "$name: the page's layout differs from the pphost scenario's; compare $name.shell.jsonl and $name.scenario.jsonl"
}

# --- tables -----------------------------------------------------------------------------

# Frames per element and tile, shell beside pphost. A gallery whose tiles
# all show the same count is one row (GET_FRAME_COUNT gives every tile the
# gallery's presents; their timestamps may differ by a millisecond).
readonly kFramesTable="$kSortKey"'
def pct(a; b): if b > 0 then "\(a * 1000 / b | round / 10) %" else "-" end;
def fmt: "\(.frames) / \(.published * 10 | round / 10)";
def collapse: group_by(.id) | map(
  if length > 1 and (map(.frames) | unique | length) == 1
  then .[0] + {key: "each of \(length) tiles", frame: (map(.frame) | unique | join(", ")), view: (map(.view) | unique | join(", "))}
  else .[] end) | flatten | sort_by(.id | sortkey);
["element", "stream", "frame -> view", "shell: shown / published", "", "pphost: shown / published", ""],
(($s.rows | collapse) as $sr | ($p.rows | collapse) as $pr
 | $sr[] as $r | ($pr | map(select(.id == $r.id and .key == $r.key)) | first) as $q
 | [$r.id, $r.key, "\($r.frame) -> \($r.view)", ($r | fmt), pct($r.frames; $r.published),
    (if $q then ($q | fmt) else "-" end), (if $q then pct($q.frames; $q.published) else "-" end)])
| @tsv'

readonly kCpuTable='
def pct(ms; w): "\(ms * 1000 / w | round / 10) %";
def per(ms; n): if n > 0 then "\(ms * 100 / n | round / 100)" else "-" end;
def row(title; key): [title,
  (if $s.cpu[key] == null then "-", "-", "-" else ($s.cpu[key] | round | tostring), pct($s.cpu[key]; $s.window_ms), per($s.cpu[key]; $s.drawn) end),
  (if $p.cpu[key] == null then "-", "-", "-" else ($p.cpu[key] | round | tostring), pct($p.cpu[key]; $p.window_ms), per($p.cpu[key]; $p.drawn) end)];
["CPU over the window", "shell ms", "% of a core", "ms / drawn frame", "pphost ms", "% of a core", "ms / drawn frame"],
["(window ms; frames drawn)", "\($s.window_ms)", "", "\($s.drawn)", "\($p.window_ms | round)", "", "\($p.drawn)"],
row("plug-in process"; "plugin"),
row("GPU (gpu_cpu_ms)"; "gpu"),
row("browser, the rest"; "browser"),
row("renderer"; "renderer"),
row("other Chromium processes"; "chromium_other"),
row("Xvfb"; "xvfb"),
row("pphost (module and GL)"; "pphost"),
row("frame-publisher"; "publisher"),
row("all of these"; "ours"),
row("the whole machine"; "machine"),
(["other load (machine - these)"] + ([$s, $p] | map(.cpu.machine - .cpu.ours) as [$a, $b]
  | [($a | round | tostring), pct($a; $s.window_ms), "", ($b | round | tostring), pct($b; $p.window_ms), ""]))
| @tsv'

print_case_tables() {
  local name="$1"
  echo
  echo "-- $name: frames presented / published over the window (30 fps x the module's timestamp delta)"
  jq -r -n --slurpfile s "$name.shell-result.json" --slurpfile p "$name.pphost-result.json" \
    '$s[0] as $s | $p[0] as $p | '"$kFramesTable" | column -t -s $'\t'
  jq -r '"(in the shell the page got the replies at most \(.reply_delay_ms | join(" and ")) ms after asking)"' \
    "$name.shell-result.json"
  echo
  jq -r -n --slurpfile s "$name.shell-result.json" --slurpfile p "$name.pphost-result.json" \
    '$s[0] as $s | $p[0] as $p | '"$kCpuTable" | column -t -s $'\t'
}

readonly kAttr0Common='
def r2: . * 100 | round / 100;
def mean(f): map(f) | add / length;
def per_frame(k): .cpu[k] / .drawn;
($runs | sort_by(.round, (.variant | tonumber) * -1)) as $runs
| ($runs | map(select(.variant == "3"))) as $a | ($runs | map(select(.variant == "0"))) as $b
| '

readonly kAttr0Table="$kAttr0Common"'
def row: [.name, .variant, "\(.window_ms)", "\(.drawn)", "\(.cpu.gpu | round)", (per_frame("gpu") | r2 | tostring),
          (per_frame("plugin") | r2 | tostring), (per_frame("browser") | r2 | tostring),
          "\((.cpu.machine - .cpu.ours) * 100 / .window_ms | round) %", "\(.attr0_warnings)"];
def mean_row($v): ["mean", $v, "", "\(mean(.drawn) | round)", "\(mean(.cpu.gpu) | round)",
  (mean(per_frame("gpu")) | r2 | tostring), (mean(per_frame("plugin")) | r2 | tostring),
  (mean(per_frame("browser")) | r2 | tostring), "", ""];
["run", "a_position at", "window ms", "frames drawn", "GPU ms", "GPU ms / frame", "plug-in ms / frame",
 "browser rest ms / frame", "other load", "attr-0 warnings"],
($runs[] | row), ($a | mean_row("3")), ($b | mean_row("0"))
| @tsv'

readonly kAttr0Ratio="$kAttr0Common"'
"GPU ms per drawn frame, location 0 / location 3 (means): \(($b | mean(per_frame("gpu"))) / ($a | mean(per_frame("gpu"))) * 1000 | round / 1000)"'

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

print_attr0_table() {
  echo
  echo "-- attr0: the meeting in the shell, GPU CPU per frame drawn by all elements (speaker + gallery presents)"
  jq -r -n --slurpfile runs <(cat "$out"/attr0/[AB]*.result.json) "$kAttr0Table" | column -t -s $'\t'
  jq -r -n --slurpfile runs <(cat "$out"/attr0/[AB]*.result.json) "$kAttr0Ratio"
}

# --- main ---------------------------------------------------------------------------------------

progress "realhost_bench: output in $out; load average $(cut -d' ' -f1-3 /proc/loadavg)"
case ",$cases," in *,meeting,*) run_case meeting "$root/web/meeting.html" 1960x800 "$kMeetingSlackS" ;; esac
case ",$cases," in *,scale,*) run_case scale "$here/pages/scale.html" 2890x900 "$kScaleSlackS" ;; esac
case ",$cases," in *,attr0,*) run_attr0 ;; esac

echo
echo "== summary ($(date -u +%Y-%m-%dT%H:%MZ), $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg))"
echo "window: ${window_ms} ms, from ${warmup_ms} ms after the segments were registered (scale: after the last START_RENDER reply); output in $out"
case ",$cases," in *,meeting,*) (cd "$out/meeting" && print_case_tables meeting) ;; esac
case ",$cases," in *,scale,*) (cd "$out/scale" && print_case_tables scale) ;; esac
case ",$cases," in *,attr0,*) print_attr0_table ;; esac
