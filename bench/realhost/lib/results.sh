# shellcheck shell=bash
# shellcheck disable=SC2016  # the jq programs are in single quotes on purpose
# realhost_bench.sh, sourced: each run's figures from its files, and the
# tables that put the shell and pphost side by side.

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
   attr0_warnings: ([$lines[] | select(.kind == "console" and .t >= $t0 and .t <= $t1
                                       and (.text | contains($warning))) | .repeated // 1] | add // 0)}
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

print_attr0_table() {
  echo
  echo "-- attr0: the meeting in the shell, GPU CPU per frame drawn by all elements (speaker + gallery presents)"
  jq -r -n --slurpfile runs <(cat "$out"/attr0/[AB]*.result.json) "$kAttr0Table" | column -t -s $'\t'
  jq -r -n --slurpfile runs <(cat "$out"/attr0/[AB]*.result.json) "$kAttr0Ratio"
}
