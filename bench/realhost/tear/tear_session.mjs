// What the tear benchmark (tear_bench.mjs) and its real-host test share:
// frame-publisher writing four palette streams, the CPU load, and sampling
// sessions in pphost (real clock, snapshots of the presented images) and in
// tallwick-shell (web/scenario.html playing the same lines, timed
// screenshots of the window), each giving a job for tear-analyse.
//
// A session creates a speaker (single-stream element) and a 2x2 gallery
// again and again: each cycle starts both elements, samples their pictures
// through their first second or so of drawing, counts their frames over a
// window (GET_FRAME_COUNT before and after), and destroys them.
// No npm package is needed here.
import { spawn, spawnSync } from "node:child_process";
import { once } from "node:events";
import { mkdirSync, readFileSync, writeFileSync } from "node:fs";
import path from "node:path";
import { createInterface } from "node:readline";

export const kFps = 30;

// Four streams, each its own shift of the palette so that the tiles differ.
// u1 is the speaker's stream and the gallery's first tile.
export const kStreams = [
  { uid: "u1", width: 1280, height: 720, format: "I420" },
  { uid: "u2", width: 640, height: 360, format: "NV12" },
  { uid: "u3", width: 640, height: 360, format: "I420" },
  { uid: "u4", width: 1280, height: 720, format: "NV12" },
];

// Page pixels (device scale 1). web/scenario.html keeps a list of lines
// over the bottom 30 % of its window, so the elements stay above 392 of 560.
// Small elements: the shell's screenshots (a read-back of the whole window
// on its UI thread) and its compositing cost less, and the frames (what a
// tear depends on) keep their size.
const kGap = 6;
const kGallery = [0, 0, 652, 372];
const kTileSize = [(kGallery[2] - 3 * kGap) / 2, (kGallery[3] - 3 * kGap) / 2]; // 317 x 177
const kSpeakerGap = 10; // from the gallery's right edge to the speaker
export const kLayout = {
  window: [1150, 560],
  speaker: { id: "speaker", uid: "u1", rect: [662, 0, 480, 270] },
  gallery: {
    id: "gallery",
    rect: kGallery,
    tiles: kStreams.map((s, i) => ({
      uid: s.uid,
      rect: [kGap + (i % 2) * (kTileSize[0] + kGap), kGap + Math.floor(i / 2) * (kTileSize[1] + kGap), ...kTileSize],
    })),
  },
};

// Black behind the pictures: Y 16, far below every palette entry's Y, so
// that a tile or element not drawn yet reads as empty.
const kBlack = [0, 0, 0, 1.0];

// --- children: ended on every way out -----------------------------------------

const children = new Set();

function track(child) {
  children.add(child);
  child.on("exit", () => children.delete(child));
  return child;
}

function endAll() {
  for (const child of children) child.kill("SIGTERM");
}
process.on("exit", endAll);
for (const signal of ["SIGINT", "SIGTERM", "SIGHUP"]) {
  process.on(signal, () => {
    endAll();
    process.exit(130);
  });
}

async function stop(child) {
  if (child.exitCode === null && child.signalCode === null) {
    child.kill("SIGTERM");
    await once(child, "exit");
  }
}

// --- frame-publisher and the load -----------------------------------------------

// frame-publisher writing kStreams at 30 fps until stopped; resolves to the
// segment list (as the page registers it) and a stop function.
export async function startPublisher(publisher, prefix = `/tallwick-tear-${process.pid}-`) {
  const args = kStreams.flatMap((s, i) => [
    "--stream",
    `name=${prefix}${s.uid};uid=${s.uid};sid=s${i + 1};width=${s.width};height=${s.height};format=${s.format};` +
      `pattern=palette:${i}`,
  ]);
  const child = track(spawn(publisher, [...args, "--fps", String(kFps)], { stdio: ["ignore", "pipe", "inherit"] }));
  const lines = createInterface({ input: child.stdout });
  const exited = once(child, "exit").then(([code]) => {
    throw new Error(`frame-publisher exited (${code}) before it printed its segments`);
  });
  const first = (async () => {
    for await (const line of lines) return line;
    throw new Error("frame-publisher printed nothing");
  })();
  const diffs = await Promise.race([first, exited]);
  return { diffs: JSON.parse(diffs), stop: () => stop(child) };
}

// tear-load with `threads` threads (0: no load); a stop function.
export function startLoad(load, threads) {
  if (!threads) return { threads: 0, stop: async () => {} };
  const child = track(spawn(load, ["--threads", String(threads)], { stdio: ["ignore", "ignore", "inherit"] }));
  return { threads, stop: () => stop(child) };
}

// --- the page's lines ----------------------------------------------------------------

// A small deterministic generator, so that a seed repeats a run's timing.
export function random(seed) {
  let state = seed >>> 0 || 1;
  return () => {
    state ^= state << 13;
    state ^= state >>> 17;
    state ^= state << 5;
    return (state >>> 0) / 4294967296;
  };
}

function message(id, command, data = {}, uuid = `${id}-${command}`) {
  return { op: "message", id, msg: { command, data, custom: { uuid } } };
}

function setupLines(diffs) {
  return [
    { op: "create", id: "controller", attrs: [["data-controller", ""]] },
    message("controller", "INIT", { logPath: "", logVersion: 1, crashHandlerPath: "" }),
    message("controller", "SET_MEETING_INFO", { selfSid: "s0", selfUid: "me" }),
    message("controller", "DO_UPDATE_SHARED_MEMORY", { op: 0, diffs }),
  ];
}

function sidOf(diffs, uid) {
  return diffs.find((d) => d.uid === uid).sid;
}

function startLines(diffs) {
  const { speaker, gallery } = kLayout;
  const common = { logPath: "", logVersion: 1, fps: kFps, renderExceptionThreshold: 2000, dpr: 1 };
  const tiles = gallery.tiles.map((t) => ({
    streamId: sidOf(diffs, t.uid),
    userId: t.uid,
    isSelf: false,
    streamType: "CAMERA",
    renderConfig: {
      isMirror: false,
      renderMode: 0,
      backgroundColor: kBlack,
      left: t.rect[0],
      top: t.rect[1],
      width: t.rect[2],
      height: t.rect[3],
    },
  }));
  return [
    { op: "create", id: speaker.id, attrs: [] },
    { op: "create", id: gallery.id, attrs: [["data-multi", ""]] },
    message(speaker.id, "INIT", { ...common, uuid: speaker.id, uid: speaker.uid, sid: sidOf(diffs, speaker.uid) }),
    { op: "view", id: speaker.id, rect: speaker.rect },
    message(speaker.id, "START_RENDER"),
    message(gallery.id, "INIT", { ...common, uuid: gallery.id, backgroundColor: kBlack }),
    { op: "view", id: gallery.id, rect: gallery.rect },
    message(gallery.id, "UPDATE_MULTI_INFOS", { renderInfos: tiles }),
    message(gallery.id, "START_RENDER"),
  ];
}

function countLines(cycle, which) {
  return [kLayout.speaker.id, kLayout.gallery.id].map((id) =>
    message(id, "GET_FRAME_COUNT", {}, `count-${cycle}-${which}`),
  );
}

// One cycle: start both elements, `sampling` (a list of run lengths in ms,
// with a sample after each: pphost's `#sample` marks), the count window,
// and both elements removed.
function cycleLines(diffs, cycle, sampling, windowMs) {
  return [
    ...startLines(diffs),
    ...sampling.flatMap((ms) => [{ op: "run", ms }, { op: "#sample" }]),
    ...countLines(cycle, 0),
    { op: "run", ms: windowMs },
    ...countLines(cycle, 1),
    { op: "destroy", id: kLayout.speaker.id },
    { op: "destroy", id: kLayout.gallery.id },
  ];
}

// Frames shown / published per element over the count windows: shown is the
// frameCount delta, published 30 fps x the delta of the module's own
// timestamps (as bench/realhost/realhost_bench.sh counts them).
export function frameCounts(posts) {
  const replies = new Map();
  for (const post of posts) {
    const uuid = post.msg?.custom?.uuid;
    if (post.msg?.response !== "GET_FRAME_COUNT" || !uuid?.startsWith("count-")) continue;
    const entry = Object.keys(post.msg.data || {}).sort()[0];
    if (entry) replies.set(`${post.id} ${uuid}`, post.msg.data[entry]);
  }
  const counts = {};
  for (const id of [kLayout.speaker.id, kLayout.gallery.id]) {
    counts[id] = { shown: 0, published: 0, windows: 0 };
    for (const [key, first] of replies) {
      if (!key.startsWith(`${id} `) || !key.endsWith("-0")) continue;
      const last = replies.get(key.replace(/-0$/, "-1"));
      if (!last) continue;
      counts[id].shown += last.frameCount - first.frameCount;
      counts[id].published += ((last.timestamp - first.timestamp) * kFps) / 1000;
      counts[id].windows += 1;
    }
  }
  return counts;
}

// The job entries of one sample: the speaker's picture and the gallery's,
// with their regions in the PNGs' pixels (`speakerAt`, `galleryAt`: where
// each element's picture lies in its PNG) and the background around each
// region (`gap`: the gallery's gaps; the page's black between and beside
// the elements in the shell, nothing in pphost's own pictures).
function jobPictures(speakerPng, galleryPng, { speakerAt = [0, 0], galleryAt = [0, 0] } = {}) {
  const { speaker, gallery } = kLayout;
  return [
    {
      png: speakerPng,
      element: "speaker",
      tiles: [
        { name: speaker.uid, rect: [speakerAt[0], speakerAt[1], speaker.rect[2], speaker.rect[3]], gap: kSpeakerGap },
      ],
    },
    {
      png: galleryPng,
      element: "gallery",
      tiles: gallery.tiles.map((t) => ({
        name: t.uid,
        rect: [galleryAt[0] + t.rect[0], galleryAt[1] + t.rect[1], t.rect[2], t.rect[3]],
        gap: kGap,
      })),
    },
  ];
}

// --- pphost ------------------------------------------------------------------------------

// pphost fed one line at a time; send() resolves to the output lines up to
// the line's ack.
class LineHost {
  constructor(program, args, stderrFile) {
    this.child = track(spawn(program, args, { stdio: ["pipe", "pipe", "pipe"] }));
    this.lines = [];
    this.waiting = null;
    this.seq = 0;
    const stderr = [];
    this.child.stderr.on("data", (chunk) => {
      stderr.push(chunk);
      if (stderr.length > 400) stderr.shift();
    });
    this.child.on("exit", () => {
      writeFileSync(stderrFile, Buffer.concat(stderr));
      this.waiting?.reject(new Error(`pphost ended (${this.child.exitCode}); see ${stderrFile}`));
    });
    createInterface({ input: this.child.stdout }).on("line", (text) => {
      const line = JSON.parse(text);
      this.lines.push(line);
      if (line.kind === "ack" && line.seq === this.waiting?.seq) {
        const { resolve, from } = this.waiting;
        this.waiting = null;
        resolve(this.lines.slice(from));
      }
    });
  }

  send(line) {
    this.seq += 1;
    const seq = this.seq;
    return new Promise((resolve, reject) => {
      this.waiting = { seq, resolve, reject, from: this.lines.length };
      this.child.stdin.write(JSON.stringify(line) + "\n");
    });
  }

  async close() {
    this.child.stdin.end();
    if (this.child.exitCode === null) await once(this.child, "exit");
    return this.child.exitCode;
  }
}

// Samples `pictures` pictures (about: whole samples of two) in pphost on the
// real clock: cycles of `samplesPerCycle` samples, each after a run of 50 to
// 150 ms. A sample is a snapshot of each element's last presented image; an
// element that has presented nothing yet gives none.
export async function samplePphost({ pphost, module, diffs, pictures, dir, seed = 1, samplesPerCycle = 8,
                                     windowMs = 600, onProgress = () => {} }) {
  mkdirSync(dir, { recursive: true });
  const host = new LineHost(pphost, ["--module", module, "--clock", "real"], path.join(dir, "pphost.stderr"));
  const next = random(seed);
  const job = [];
  const errors = [];
  let samples = 0;
  try {
    for (const line of setupLines(diffs)) await host.send(line);
    for (let cycle = 0; job.length < pictures; cycle += 1) {
      const sampling = Array.from({ length: samplesPerCycle }, () => Math.round(50 + 100 * next()));
      for (const line of cycleLines(diffs, cycle, sampling, windowMs)) {
        if (line.op !== "#sample") {
          const out = await host.send(line);
          errors.push(...out.filter((l) => l.kind === "error").map((l) => l.text));
          continue;
        }
        samples += 1;
        const files = {};
        for (const id of [kLayout.speaker.id, kLayout.gallery.id]) {
          const png = path.join(dir, `${String(samples).padStart(5, "0")}-${id}.png`);
          const out = await host.send({ op: "snapshot", id, png });
          if (out.some((l) => l.kind === "snapshot")) files[id] = png;
        }
        const [speakerPicture, galleryPicture] = jobPictures(files.speaker, files.gallery);
        if (files.speaker) job.push(speakerPicture);
        if (files.gallery) job.push(galleryPicture);
      }
      if ((cycle + 1) % 10 === 0) onProgress(`pphost: ${cycle + 1} cycles, ${job.length} pictures`);
    }
    await host.send({ op: "shutdown" });
  } finally {
    await host.close();
  }
  writeFileSync(path.join(dir, "pphost.jsonl"), host.lines.map((l) => JSON.stringify(l)).join("\n") + "\n");
  const unexpected = errors.filter((text) => !text.startsWith("snapshot:"));
  if (unexpected.length > 0) throw new Error(`pphost refused lines: ${unexpected.slice(0, 3).join("; ")}`);
  return { job, samples, frames: frameCounts(host.lines.filter((l) => l.kind === "post")) };
}

// --- tallwick-shell --------------------------------------------------------------------

// Samples about `pictures` pictures in tallwick-shell: web/scenario.html
// plays cycles like pphost's (a run of samplesPerCycle x 100 ms where pphost
// samples), and the shell takes a screenshot of the window every
// `intervalMs` from `firstShotS` on, whatever the page is doing. A
// screenshot holds both elements; where an element is not there or has not
// drawn yet, its picture reads as empty and is not counted.
export async function sampleShell({ shell, module, web, diffs, pictures, dir, intervalMs = 200, firstShotS = 4,
                                    expectedYield = 0.75, samplesPerCycle = 8, windowMs = 600,
                                    onProgress = () => {} }) {
  mkdirSync(dir, { recursive: true });
  const shots = Math.ceil(pictures / 2 / expectedYield);
  const seconds = firstShotS + (shots * intervalMs) / 1000 + 0.5;
  // More cycles than the run can play: the shell ends at `seconds`.
  const cycleS = (samplesPerCycle * 100 + windowMs) / 1000 + 0.5;
  const script = [...setupLines(diffs)];
  for (let cycle = 0; cycle < Math.ceil(seconds / cycleS) + 1; cycle += 1) {
    script.push(...cycleLines(diffs, cycle, [samplesPerCycle * 100], windowMs).filter((l) => l.op !== "#sample"));
  }
  const scriptFile = path.join(dir, "scenario.jsonl");
  writeFileSync(scriptFile, script.map((l) => JSON.stringify(l)).join("\n") + "\n");
  const args = ["--headless", "--module", module, "--size", kLayout.window.join("x"), "--seconds", seconds.toFixed(2)];
  args.push("--log-dir", path.join(dir, "logs"));
  for (let shot = 0; shot < shots; shot += 1) {
    const at = firstShotS + (shot * intervalMs) / 1000;
    args.push("--screenshot", `${at.toFixed(3)}:${path.join(dir, `${String(shot + 1).padStart(5, "0")}.png`)}`);
  }
  args.push(`${path.join(web, "scenario.html")}?script=${encodeURIComponent(scriptFile)}`);

  onProgress(`shell: ${shots} screenshots over ${seconds.toFixed(1)} s`);
  const child = track(spawn(shell, args, { stdio: ["ignore", "pipe", "pipe"] }));
  const stderr = [];
  child.stderr.on("data", (chunk) => {
    stderr.push(chunk);
    if (stderr.length > 400) stderr.shift();
  });
  const lines = [];
  for await (const text of createInterface({ input: child.stdout })) lines.push(JSON.parse(text));
  if (child.exitCode === null && child.signalCode === null) await once(child, "exit");
  writeFileSync(path.join(dir, "shell.jsonl"), lines.map((l) => JSON.stringify(l)).join("\n") + "\n");
  writeFileSync(path.join(dir, "shell.stderr"), Buffer.concat(stderr));
  if (child.exitCode !== 0 && child.exitCode !== 1) {
    throw new Error(`tallwick-shell ended with status ${child.exitCode}; see ${dir}/shell.jsonl and shell.stderr`);
  }
  const job = [];
  const taken = lines.filter((l) => l.kind === "screenshot" && !l.error);
  const { speaker, gallery } = kLayout;
  for (const shot of taken) {
    job.push(...jobPictures(shot.path, shot.path, { speakerAt: speaker.rect, galleryAt: gallery.rect }));
  }
  const pageErrors = lines.filter((l) => l.kind === "error" || l.kind === "fail").map((l) => l.text);
  return { job, samples: taken.length, frames: frameCounts(lines.filter((l) => l.kind === "post")), pageErrors };
}

// --- reading the pictures back -----------------------------------------------------------

// tear-analyse on a job; its summary (see tear_analyse.cpp).
export function analyse(analyser, job, dir) {
  const jobFile = path.join(dir, "job.json");
  writeFileSync(jobFile, JSON.stringify({ pictures: job }));
  const run = spawnSync(analyser, [jobFile, "--details", path.join(dir, "pictures.jsonl")], {
    encoding: "utf8",
    maxBuffer: 1 << 24,
  });
  if (run.status !== 0 && !run.stdout) throw new Error(`tear-analyse failed (${run.status}): ${run.stderr}`);
  const summary = JSON.parse(run.stdout);
  writeFileSync(path.join(dir, "summary.json"), JSON.stringify(summary, null, 1) + "\n");
  return summary;
}

// Adds one session's summary and frame counts into a running total.
export function addUp(total, summary, frames) {
  const sum = (a = {}, b = {}) =>
    Object.fromEntries(Object.keys({ ...a, ...b }).map((k) => [k, (a[k] || 0) + (b[k] || 0)]));
  const out = total ? structuredClone(total) : { elements: {}, frames: {}, examples: {} };
  for (const key of ["pictures", "distinct", "tiles"]) out[key] = sum(out[key], summary[key]);
  for (const [name, counts] of Object.entries(summary.elements)) out.elements[name] = sum(out.elements[name], counts);
  for (const [name, counts] of Object.entries(frames)) out.frames[name] = sum(out.frames[name], counts);
  out.largest_distance = Object.fromEntries(
    Object.entries(summary.largest_distance).map(([k, v]) => [k, Math.max(v, out.largest_distance?.[k] || 0)]),
  );
  out.tolerance = summary.tolerance;
  for (const [verdict, list] of Object.entries(summary.examples)) {
    out.examples[verdict] = [...(out.examples[verdict] || []), ...list].slice(0, 3);
  }
  out.unreadable_files = [...(out.unreadable_files || []), ...summary.unreadable_files];
  return out;
}

export function readJsonLines(file) {
  return readFileSync(file, "utf8")
    .split("\n")
    .filter((t) => t.trim())
    .map((t) => JSON.parse(t));
}
