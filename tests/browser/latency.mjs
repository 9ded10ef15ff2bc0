// Frames a tab shows against frames its element presented, and the latency
// from a frame's publish to its pixels in the page's canvas, for the speaker
// of meeting.html (640x360 element) with a 1280x720 I420 stream at 30 fps, on
// the real clock, once per way `pphost serve` sends pictures, one after the
// other in one run: an encoding (jpeg, rgba) and a picture size (/view: no
// larger than the element, the default; /full: as presented). Not a test:
// bench/latency/browser_latency.sh runs it.
//
//   node latency.mjs --seconds N --variants jpeg,rgba,jpeg/full   (paths in the environment)
import { spawn } from "node:child_process";
import { once } from "node:events";
import { readFileSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import { parseArgs } from "node:util";
import { launchBrowser, startServer, waitFor } from "./meeting_fixture.mjs";

const { values: options } = parseArgs({
  options: {
    seconds: { type: "string", default: "20" },
    variants: { type: "string", default: "jpeg,rgba" },
    "warm-up": { type: "string", default: "2" },
    "id-stream": { type: "string", default: process.env.ID_STREAM },
  },
});
const seconds = Number(options.seconds);
const warmUpMs = Number(options["warm-up"]) * 1000;

// The process's user + system CPU so far, in ms (from /proc).
function cpuMs(pid) {
  const fields = readFileSync(`/proc/${pid}/stat`, "utf8").split(") ")[1].split(" ");
  return ((Number(fields[11]) + Number(fields[12])) * 1000) / 100;
}

function percentile(values, fraction) {
  if (values.length === 0) return NaN;
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.ceil(fraction * sorted.length) - 1)];
}

// In the page: on every picture the speaker draws, the id read from the
// canvas row the id blocks lie on (16 blocks, most significant first, white
// 1), when the server took it (header "sent"), when it arrived and when it was drawn, the
// element's present count and the bytes so far.
function recordDrawnIds() {
  const speaker = document.getElementById("speaker");
  window.drawn = [];
  const frame = speaker.frame.bind(speaker);
  speaker.frame = (header, bytes) => frame({ ...header, arrived: performance.timeOrigin + performance.now() }, bytes);
  speaker.addEventListener("framedrawn", (event) => {
    const at = performance.timeOrigin + performance.now();
    const { canvas } = speaker;
    const row = canvas.getContext("2d", { willReadFrequently: true })
      .getImageData(0, Math.floor(canvas.height * 0.95), canvas.width, 1).data;
    let id = 0;
    for (let bit = 0; bit < 16; bit += 1) {
      const x = Math.floor((canvas.width * (2 * bit + 1)) / 32) * 4;
      const [r, g, b] = [row[x], row[x + 1], row[x + 2]];
      const white = r > 192 && g > 192 && b > 192;
      if (!white && !(r < 64 && g < 64 && b < 64)) { id = -1; break; }
      id = id * 2 + (white ? 1 : 0);
    }
    window.drawn.push({ id, at, sent: event.detail.sent, arrived: event.detail.arrived, n: event.detail.n, bytes: speaker.stats.bytes });
  });
}

async function measure(browser, variant) {
  const [encoding, size = "view"] = variant.split("/");
  const times = path.join(tmpdir(), `id-stream-${process.pid}-${encoding}-${size}.json`);
  const stream = spawn(options["id-stream"], [
    "--name", `/tallwick-latency-${process.pid}-${encoding}-${size}`, "--seconds", String(seconds), "--times", times,
  ], { stdio: ["ignore", "pipe", "inherit"] });
  const [diffs] = await Promise.race([once(stream.stdout, "data"), once(stream, "exit")]);
  const server = await startServer(["--frames", encoding, "--picture-size", size]);
  const page = await browser.newPage({ viewport: { width: 1960, height: 1000 } });
  const address = new URL("meeting.html", server.url);
  address.searchParams.set("diffs", String(diffs).trim());
  address.searchParams.set("gallery", "off");
  await page.goto(address.href);
  await page.evaluate(recordDrawnIds);
  await waitFor(() => page.evaluate(() => window.drawn.length > 0), 10000, "the first picture");
  await new Promise((resolve) => setTimeout(resolve, warmUpMs));
  const start = { drawn: await page.evaluate(() => window.drawn.length), cpu: cpuMs(server.child.pid), at: Date.now() };
  await once(stream, "exit");
  const end = { cpu: cpuMs(server.child.pid), at: Date.now() };
  const drawn = (await page.evaluate(() => window.drawn)).slice(start.drawn);
  await page.close();
  await server.stop();
  return report(variant, drawn, JSON.parse(readFileSync(times, "utf8")).published, start, end);
}

function report(variant, drawn, published, start, end) {
  const publishedAt = new Map(published);
  const firstShown = new Map();
  const inTab = [];
  const wire = [];
  for (const d of drawn) {
    if (d.id <= 0 || firstShown.has(d.id)) continue;
    firstShown.set(d.id, d.at);
    inTab.push(d.at - d.arrived);
    wire.push(d.arrived - d.sent);
  }
  const ids = [...firstShown.keys()];
  const idRange = published.filter(([id]) => id >= Math.min(...ids) && id <= Math.max(...ids)).length;
  const latency = ids.filter((id) => publishedAt.has(id)).map((id) => firstShown.get(id) - publishedAt.get(id));
  const presents = drawn.at(-1).n - drawn[0].n + 1;
  const bytes = drawn.at(-1).bytes - drawn[0].bytes;
  const wallS = (end.at - start.at) / 1000;
  return {
    variant,
    "pictures drawn by the tab": drawn.length,
    "presents of the element": presents,
    "drawn / presented": +(drawn.length / presents).toFixed(3),
    "distinct frames shown / published": `${ids.length} / ${idRange}`,
    "unreadable ids": drawn.filter((d) => d.id <= 0).length,
    "latency median ms": +percentile(latency, 0.5).toFixed(1),
    "latency p99 ms": +percentile(latency, 0.99).toFixed(1),
    "latency max ms": +Math.max(...latency).toFixed(1),
    "of it in the tab, median ms": +percentile(inTab, 0.5).toFixed(1),
    "of it encoding and wire, median ms": +percentile(wire, 0.5).toFixed(1),
    "KB per picture": +(bytes / 1024 / Math.max(1, drawn.length - 1)).toFixed(1),
    "pphost CPU %": +((100 * (end.cpu - start.cpu)) / 1000 / wallS).toFixed(1),
  };
}

const browser = await launchBrowser();
const results = [];
for (const variant of options.variants.split(",")) {
  console.error(`latency: ${variant}, ${seconds} s of 1280x720 at 30 fps into the 640x360 speaker`);
  results.push(await measure(browser, variant));
}
await browser.close();
console.table(results.reduce((table, r) => {
  for (const [key, value] of Object.entries(r)) (table[key] ||= {})[r.variant] = value;
  return table;
}, {}));
