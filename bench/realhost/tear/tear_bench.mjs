#!/usr/bin/env node
// The tear benchmark: how many of the pictures the module shows mix frames,
// in tallwick-shell (Chromium's Pepper host) and in pphost, for a candidate
// module and a baseline module side by side, on the same frames and load.
//
// frame-publisher writes four streams of flat palette frames at 30 fps
// (pattern palette:S; u1 1280x720 I420, u2 640x360 NV12, u3 640x360 I420,
// u4 1280x720 NV12). A speaker (u1, 480x270) and a 652x372 gallery of 2x2
// tiles (317x177, u1..u4) are started again and again, each cycle sampling
// their first second of drawing, while tear-load oversubscribes the CPU
// (busy and copying threads beside the host, started and stopped here, the
// same for both modules: in the shell one per core, in pphost two per core;
// pphost reads a frame far faster, so only a busier machine catches a
// writer in the middle of its read, and the shell's page stalls for seconds
// under that much). pphost (real clock) gives a snapshot of each element's presented
// image every 50 to 150 ms; the shell a screenshot of its window every
// --interval-ms. tear-analyse turns every row of every region back into
// Y, U, V and matches each plane to its palette entry: a picture is torn
// when its rows or planes come from more than one frame.
//
// Rounds alternate the modules' order (candidate first, then baseline
// first, ...), so both see the same conditions. Frames shown / published:
// GET_FRAME_COUNT before and after a 600 ms window in each cycle (frameCount
// delta / 30 fps x the module's timestamp delta). Progress as it goes, a
// table at the end; every picture and log stays in the output folder.
//
//   node bench/realhost/tear/tear_bench.mjs --baseline MODULE|none [--build DIR] [--module MODULE]
//        [--shell-program PATH] [--hosts shell,pphost] [--pictures N] [--rounds N]
//        [--load-threads N] [--interval-ms MS] [--out DIR] [--seed N]
//
//   --baseline       the module to compare with (none: the candidate alone)
//   --build          the build tree whose bin/ has the programs (default: build)
//   --module         the candidate (default: BUILD/lib/libtallwick-ppapi-render.so)
//   --shell-program  tallwick-shell to use (default: BUILD/bin/tallwick-shell)
//   --pictures       sampled pictures per host and module (default 1000; the
//                    speaker's and the gallery's count one each per sample)
//   --rounds         rounds the pictures are split into (default 2)
//   --load-threads   tear-load's threads, N for both hosts or SHELL,PPHOST
//                    (default: the cores, twice the cores; 0: no load)
import { spawnSync } from "node:child_process";
import { existsSync, mkdtempSync, readFileSync } from "node:fs";
import os from "node:os";
import path from "node:path";
import { parseArgs } from "node:util";
import * as tear from "./tear_session.mjs";

const here = path.dirname(new URL(import.meta.url).pathname);
const root = path.resolve(here, "../../..");
const kMaxSessions = 4;

function usage() {
  const lines = readFileSync(new URL(import.meta.url), "utf8").split("\n").slice(1);
  return lines.slice(0, lines.findIndex((l) => !l.startsWith("//"))).map((l) => l.replace(/^\/\/ ?/, "")).join("\n");
}

function fail(text, status = 1) {
  console.error(`tear_bench: ${text}`);
  process.exit(status);
}

function options() {
  let parsed;
  try {
    parsed = parseArgs({
      options: {
        baseline: { type: "string" },
        build: { type: "string", default: path.join(root, "build") },
        module: { type: "string" },
        "shell-program": { type: "string" },
        hosts: { type: "string", default: "shell,pphost" },
        pictures: { type: "string", default: "1000" },
        rounds: { type: "string", default: "2" },
        "load-threads": { type: "string", default: `${os.availableParallelism()},${2 * os.availableParallelism()}` },
        "interval-ms": { type: "string", default: "200" },
        out: { type: "string" },
        seed: { type: "string", default: "1" },
        help: { type: "boolean", short: "h" },
      },
    }).values;
  } catch (error) {
    console.error(`tear_bench: ${error.message}\n\n${usage()}`);
    process.exit(2);
  }
  if (parsed.help) {
    console.log(usage());
    process.exit(0);
  }
  // "N" or "SHELL,PPHOST"
  const loadThreads = (text) => {
    const counts = text.split(",").map(Number);
    if (counts.length > 2 || counts.some((n) => !Number.isInteger(n) || n < 0 || n > 256)) {
      fail(`--load-threads wants N or SHELL,PPHOST (whole numbers 0..256), not "${text}"`, 2);
    }
    return { shell: counts[0], pphost: counts.at(-1) };
  };
  const whole = (name, min) => {
    const value = Number(parsed[name]);
    if (!Number.isInteger(value) || value < min) {
      fail(`--${name} wants a whole number >= ${min}, not "${parsed[name]}"`, 2);
    }
    return value;
  };
  if (parsed.baseline === undefined) fail("--baseline MODULE (or --baseline none) is required; see --help", 2);
  const hosts = parsed.hosts.split(",");
  if (hosts.length === 0 || hosts.some((h) => h !== "shell" && h !== "pphost")) {
    fail(`--hosts wants shell, pphost or both, not "${parsed.hosts}"`, 2);
  }
  const build = path.resolve(parsed.build);
  const bin = path.join(build, "bin");
  const o = {
    bin,
    hosts,
    candidate: path.resolve(parsed.module ?? path.join(build, "lib", "libtallwick-ppapi-render.so")),
    baseline: parsed.baseline === "none" ? null : path.resolve(parsed.baseline),
    shell: path.resolve(parsed["shell-program"] ?? path.join(bin, "tallwick-shell")),
    pictures: whole("pictures", 2),
    rounds: whole("rounds", 1),
    loadThreads: loadThreads(parsed["load-threads"]),
    intervalMs: whole("interval-ms", 50),
    seed: whole("seed", 1),
    out: parsed.out ? path.resolve(parsed.out) : mkdtempSync(path.join(os.tmpdir(), "tear-bench-")),
  };
  const programs = ["frame-publisher", "tear-analyse", "tear-load"].map((p) => path.join(bin, p));
  if (hosts.includes("pphost")) programs.push(path.join(bin, "pphost"));
  if (hosts.includes("shell")) programs.push(o.shell);
  for (const program of programs) {
    if (!existsSync(program)) fail(`no ${program}: build it first (bench/README.md, "tear")`);
  }
  for (const module of [o.candidate, o.baseline].filter(Boolean)) {
    if (!existsSync(module)) fail(`no module ${module}`);
  }
  if (hosts.includes("shell") && spawnSync("sh", ["-c", "command -v Xvfb"]).status !== 0) {
    fail("Xvfb is missing (scripts/setup.sh --shell installs what the shell needs)");
  }
  return o;
}

function progress(text) {
  console.log(`${new Date().toTimeString().slice(0, 8)}  ${text}`);
}

function loadAverage() {
  return os.loadavg().map((l) => l.toFixed(1)).join(" ");
}

function percent(part, whole) {
  return whole > 0 ? `${((100 * part) / whole).toFixed(1)} %` : "-";
}

// One host and module until `wanted` pictures are sampled (more sessions if
// the first gave too few: in the shell a screenshot finds the elements
// absent or not drawn yet now and then).
async function measure(o, diffs, host, module, name, round, wanted, total) {
  let sampled = 0;
  for (let session = 1; session <= kMaxSessions && sampled < wanted; session += 1) {
    const dir = path.join(o.out, `round${round}-${host}-${name}-${session}`);
    const started = Date.now();
    const common = { module, diffs, dir, pictures: wanted - sampled, onProgress: (t) => progress(`  ${t}`) };
    const result =
      host === "pphost"
        ? await tear.samplePphost({ ...common, pphost: path.join(o.bin, "pphost"), seed: o.seed * 1000 + round })
        : await tear.sampleShell({
            ...common,
            shell: o.shell,
            web: path.join(root, "web"),
            intervalMs: o.intervalMs,
            expectedYield: total?.pictures?.sampled ? Math.max(0.2, total.yield) : 0.5,
          });
    const summary = tear.analyse(path.join(o.bin, "tear-analyse"), result.job, dir);
    total = tear.addUp(total, summary, result.frames);
    total.seconds = (total.seconds || 0) + (Date.now() - started) / 1000;
    const p = summary.pictures;
    const all = total.pictures;
    total.yield = all.sampled / (all.sampled + all.empty + all.misplaced);
    sampled += p.sampled;
    progress(`${host} ${name} (${dir}): ${p.torn} torn / ${p.sampled} sampled (${percent(p.torn, p.sampled)})` +
      `, ${p.unreadable} unreadable; not counted: ${p.empty} empty, ${p.misplaced} misplaced`);
  }
  if (sampled < wanted) {
    progress(`${host} ${name}: only ${sampled} of ${wanted} pictures after ${kMaxSessions} sessions`);
  }
  return total;
}

function table(rows) {
  const widths = rows[0].map((_, i) => Math.max(...rows.map((r) => String(r[i]).length)));
  return rows.map((r) => r.map((c, i) => String(c).padEnd(widths[i])).join("  ").trimEnd()).join("\n");
}

function report(o, results, started) {
  const names = o.baseline ? ["candidate", "baseline"] : ["candidate"];
  const frames = (f) => (f ? `${f.shown} / ${f.published.toFixed(1)} (${percent(f.shown, f.published)})` : "-");
  const ratio = (c) => `${c.torn} / ${c.sampled} (${percent(c.torn, c.sampled)})`;
  const minutes = ((Date.now() - started) / 60000).toFixed(1);
  console.log(`\n== tear benchmark: ${new Date().toISOString().slice(0, 16)}Z, ${os.availableParallelism()} cores, ` +
    `${minutes} min, load average ${loadAverage()}`);
  console.log(`candidate: ${o.candidate}`);
  if (o.baseline) console.log(`baseline:  ${o.baseline}`);
  const threads = o.hosts.map((h) => `${o.loadThreads[h]} threads in ${h === "shell" ? "the shell" : h}`).join(", ");
  console.log(`load: tear-load, ${threads} (0: none); output: ${o.out}`);
  console.log("frames: u1 1280x720 I420 (speaker, 480x270 drawing buffer, and tile 1), u2 640x360 NV12, u3 640x360 " +
    "I420, u4 1280x720 NV12 at 30 fps; gallery 652x372 drawing buffer, tiles 317x177; real clock");
  const rows = [["host", "module", "torn / sampled", "speaker", "gallery", "distinct: torn / sampled", "unreadable",
    "empty", "misplaced"]];
  const counts = [["host", "module", "speaker shown / published", "gallery shown / published", "time s"]];
  for (const host of o.hosts) {
    for (const name of names) {
      const r = results[host][name];
      const e = r.elements;
      rows.push([host, name, ratio(r.pictures), e.speaker ? ratio(e.speaker) : "-", e.gallery ? ratio(e.gallery) : "-",
        ratio(r.distinct), r.pictures.unreadable, r.pictures.empty, r.pictures.misplaced]);
      counts.push([host, name, frames(r.frames.speaker), frames(r.frames.gallery), r.seconds.toFixed(0)]);
    }
  }
  console.log("\n-- pictures that mix frames (a sample gives the speaker's picture and the gallery's; empty and " +
    `misplaced ones are not counted)\n${table(rows)}`);
  console.log(`\n-- frames shown / published over the count windows\n${table(counts)}`);
  for (const host of o.hosts) {
    for (const name of names) {
      for (const [verdict, list] of Object.entries(results[host][name].examples)) {
        for (const example of list) console.log(`${host} ${name} ${verdict}: ${example.text} (${example.png})`);
      }
    }
  }
  const distances = o.hosts.flatMap((h) => names.map((n) => results[h][n].largest_distance));
  const largest = (k) => Math.max(...distances.map((d) => d[k])).toFixed(2);
  console.log(`largest distance of a plane read back from its palette value, in whole pictures: Y ${largest("y")}, ` +
    `U ${largest("u")}, V ${largest("v")} (tolerance ${results[o.hosts[0]].candidate.tolerance}; ` +
    "entries lie 14 or more apart)");
}

async function main() {
  const o = options();
  const started = Date.now();
  progress(`tear_bench: output in ${o.out}; load average ${loadAverage()}`);
  const publisher = await tear.startPublisher(path.join(o.bin, "frame-publisher"));
  let load = null;
  const modules = { candidate: o.candidate, ...(o.baseline ? { baseline: o.baseline } : {}) };
  const results = Object.fromEntries(o.hosts.map((h) => [h, {}]));
  try {
    for (let round = 1; round <= o.rounds; round += 1) {
      const order = round % 2 === 1 ? Object.keys(modules) : Object.keys(modules).reverse();
      const wanted = Math.ceil(o.pictures / o.rounds);
      for (const host of o.hosts) {
        // One load for both modules of a host and round.
        load = tear.startLoad(path.join(o.bin, "tear-load"), o.loadThreads[host]);
        for (const name of order) {
          progress(`round ${round}/${o.rounds}: ${host}, ${name}, ${wanted} pictures, ${load.threads} load threads`);
          results[host][name] = await measure(o, publisher.diffs, host, modules[name], name, round, wanted,
            results[host][name]);
        }
        await load.stop();
      }
    }
  } finally {
    await load?.stop();
    await publisher.stop();
  }
  report(o, results, started);
}

main().catch((error) => fail(error.stack || error.message));
