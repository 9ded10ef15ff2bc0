// What a browser test needs around the page: a frame-publisher writing a
// small meeting, `pphost serve` in front of the module, and Debian's chromium
// headless. Paths come from the environment that ctest sets (run.sh).
import { spawn } from "node:child_process";
import { mkdirSync } from "node:fs";
import { chromium } from "playwright-core";
import { firstLine, stop } from "../support/meeting_streams.mjs";

export { bt601, kUsers, startPublisher, waitFor } from "../support/meeting_streams.mjs";

export const env = {
  pphost: process.env.PPHOST,
  publisher: process.env.FRAME_PUBLISHER,
  module: process.env.TALLWICK_MODULE,
  root: process.env.WEB_ROOT,
  out: process.env.OUT_DIR || "browser-out",
  chromium: process.env.CHROMIUM || "/usr/bin/chromium",
};

// `pphost serve` on a free port, serving `root` (the page library's folder
// by default); resolves to its address.
export async function startServer(extra = [], root = env.root) {
  const args = ["--module", env.module, "serve", "--port", "0", "--root", root, ...extra];
  const child = spawn(env.pphost, args, { stdio: ["ignore", "pipe", "inherit"] });
  const line = await firstLine(child, /^pphost serve: http/, "pphost serve");
  const url = line.match(/http:\/\/[0-9.:]+\//)[0];
  return { url, child, stop: () => stop(child) };
}

export async function status(url) {
  const response = await fetch(new URL("status", url));
  return response.json();
}

export function launchBrowser() {
  mkdirSync(env.out, { recursive: true });
  return chromium.launch({
    executablePath: env.chromium,
    headless: true,
    // As root in a container the sandbox cannot start; the pages are our own.
    args: ["--no-sandbox"],
  });
}

