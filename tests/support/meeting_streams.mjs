// What the meeting tests of both hosts need around a page: a frame-publisher
// writing a small meeting of solid-colour streams, the colours the shaders
// make of them, and ways to wait for a process or a condition. No npm
// package is needed here. FRAME_PUBLISHER names the publisher.
import { spawn } from "node:child_process";
import { once } from "node:events";
import { createInterface } from "node:readline";

// Each user's colour: solid, so that every pixel of a tile is known.
export const kUsers = [
  { uid: "u1", rgb: [200, 60, 40], size: [1280, 720] },
  { uid: "u2", rgb: [40, 160, 70], size: [640, 360] },
  { uid: "u3", rgb: [50, 90, 210], size: [640, 360] },
  { uid: "u4", rgb: [230, 190, 30], size: [640, 360] },
  { uid: "u5", rgb: [150, 40, 170], size: [640, 360] },
  { uid: "u6", rgb: [20, 170, 190], size: [640, 360] },
  { uid: "u7", rgb: [240, 130, 20], size: [640, 360] },
  { uid: "u8", rgb: [120, 85, 70], size: [640, 360] },
  { uid: "u9", rgb: [230, 40, 100], size: [640, 360] },
];

// The first line a process writes to standard output that matches.
export async function firstLine(child, pattern, what) {
  const lines = createInterface({ input: child.stdout });
  const exited = once(child, "exit").then(([code]) => {
    throw new Error(`${what} exited (${code}) before it was ready`);
  });
  const found = (async () => {
    for await (const line of lines) {
      if (pattern.test(line)) return line;
    }
    throw new Error(`${what} closed its output before it was ready`);
  })();
  return Promise.race([found, exited]);
}

// Asks the process to end; resolves to its exit code (null if a signal
// other than ours ended it).
export async function stop(child) {
  if (child.exitCode === null && child.signalCode === null) {
    child.kill("SIGTERM");
    await once(child, "exit");
  }
  return child.exitCode;
}

// frame-publisher with the users of kUsers (all I420 but u3, NV12) at 30 fps;
// resolves to the segments it printed, as the page registers them.
export async function startPublisher(users = kUsers, extra = []) {
  const prefix = `/tallwick-browser-${process.pid}-${Date.now()}-`;
  const args = users.flatMap((u, i) => [
    "--stream",
    `name=${prefix}${u.uid};uid=${u.uid};sid=s${i + 1};width=${u.size[0]};height=${u.size[1]};` +
      `format=${u.uid === "u3" ? "NV12" : "I420"};pattern=${u.pattern || `solid:${u.rgb.join(",")}`}`,
  ]);
  const child = spawn(process.env.FRAME_PUBLISHER, [...args, "--fps", "30", ...extra], { stdio: ["ignore", "pipe", "inherit"] });
  const diffs = await firstLine(child, /^\[/, "frame-publisher");
  return { diffs, stop: () => stop(child) };
}

// The RGB that a BT.601 limited-range round trip gives for `rgb`: the
// publisher's Y, U and V (rounded to bytes), turned back as the shaders do.
export function bt601(rgb) {
  const [r, g, b] = rgb;
  const y = Math.round(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255);
  const u = Math.round(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255);
  const v = Math.round(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255);
  const c = 1.164 * (y - 16);
  const clamp = (x) => Math.max(0, Math.min(255, Math.round(x)));
  return [clamp(c + 1.596 * (v - 128)), clamp(c - 0.392 * (u - 128) - 0.813 * (v - 128)), clamp(c + 2.017 * (u - 128))];
}

// Polls `probe` until it returns something truthy, or fails after `ms`.
export async function waitFor(probe, ms, what) {
  const end = Date.now() + ms;
  for (;;) {
    const value = await probe();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out after ${ms} ms: ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
}
