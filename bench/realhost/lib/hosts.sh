# shellcheck shell=bash
# shellcheck disable=SC2016  # the jq program is in single quotes on purpose
# realhost_bench.sh, sourced: one run of tallwick-shell on a page, and
# pphost on the same page as a scenario.

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
