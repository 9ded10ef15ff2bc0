// What a test of the real host needs: tallwick-shell run headless on pages,
// its output lines parsed, pphost run on the same scenario, and pixels read
// from screenshots. Paths come from the environment that ctest sets (run.sh).
import { spawn, spawnSync } from "node:child_process";
import { mkdirSync, readFileSync } from "node:fs";
import path from "node:path";
import { createInterface } from "node:readline";
import { PNG } from "pngjs";

export const env = {
  shell: process.env.TALLWICK_SHELL,
  pphost: process.env.PPHOST,
  module: process.env.TALLWICK_MODULE,
  web: process.env.WEB_ROOT,
  scenarios: process.env.SCENARIOS,
  out: process.env.OUT_DIR || "realhost-out",
};

export function outPath(name) {
  mkdirSync(env.out, { recursive: true });
  return path.join(env.out, name);
}

// A page of web/ with its query, as the shell takes it.
export function page(name, query = {}) {
  const search = new URLSearchParams(query).toString();
  return path.join(env.web, name) + (search ? `?${search}` : "");
}

// Runs the shell on `pages` until it ends (after `seconds`, or when a page
// says it is done). Resolves to its exit status and output lines; the last
// lines of its standard error (Chromium's own) come along for failures.
let runs = 0;
export async function runShell(pages, { seconds = 20, args = [], onLine = () => {} } = {}) {
  runs += 1;
  const logDir = outPath(`logs/${path.basename(process.argv[1] || "run")}-${process.pid}-${runs}`);
  const argv = ["--headless", "--module", env.module, "--seconds", String(seconds), "--log-dir", logDir];
  argv.push(...args, ...pages);
  const child = spawn(env.shell, argv, { stdio: ["ignore", "pipe", "pipe"] });
  const lines = [];
  const stderr = [];
  createInterface({ input: child.stderr }).on("line", (line) => {
    stderr.push(line);
    if (stderr.length > 200) stderr.shift();
  });
  for await (const text of createInterface({ input: child.stdout })) {
    const line = JSON.parse(text);
    lines.push(line);
    onLine(line, child);
  }
  const status = await new Promise((resolve) => {
    if (child.exitCode !== null || child.signalCode !== null) resolve(child.exitCode);
    else child.on("exit", (code) => resolve(code));
  });
  return { status, lines, stderr: stderr.join("\n") };
}

// pphost on a scenario under the virtual clock; its output lines.
export function runPphost(script, args = []) {
  const run = spawnSync(env.pphost, ["--module", env.module, "--clock", "virtual", "--script", script, ...args], {
    encoding: "utf8",
  });
  return {
    status: run.status,
    lines: run.stdout
      .split("\n")
      .filter((line) => line.trim())
      .map((line) => JSON.parse(line)),
  };
}

// The messages one element (scenario id) posted, in order.
export function postsOf(lines, id) {
  return lines.filter((line) => line.kind === "post" && line.id === id).map((line) => line.msg);
}

// The module's log of a shell run: its default log file in the run's folder.
export function moduleLog(run) {
  const logDir = run.lines.find((line) => line.kind === "shell").log_dir;
  return readFileSync(path.join(logDir, "tallwick-log", "PPAPI_RENDER.log"), "utf8");
}

export function readPng(file) {
  return PNG.sync.read(readFileSync(file));
}

export function pixel(png, x, y) {
  const at = (png.width * Math.round(y) + Math.round(x)) * 4;
  return [png.data[at], png.data[at + 1], png.data[at + 2]];
}

export function near(actual, expected, tolerance) {
  return actual.every((value, i) => Math.abs(value - expected[i]) <= tolerance);
}
