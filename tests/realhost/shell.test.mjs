// tallwick-shell's own promises: how a run ends and what its exit status
// says, for a bad argument, a page that reports a failure or has an error
// of its own, and a plug-in process that dies under a page that still has
// plug-in elements; what it writes for a page of real <embed> elements; and
// where the times of its timed options count from.
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { writeFileSync } from "node:fs";
import { test } from "node:test";
import { env, outPath, page, runShell } from "./shell_fixture.mjs";

function scenarioFile(name, lines) {
  const file = outPath(name);
  writeFileSync(file, lines.map((line) => JSON.stringify(line)).join("\n") + "\n");
  return file;
}

// A page of our own in the test's output folder; `/web/...` imports the
// page library where it is.
function pageFile(name, html) {
  const file = outPath(name);
  writeFileSync(file, html.replaceAll("/web/", `${env.web}/`));
  return file;
}

test("a bad argument is refused with status 2 and a reason", () => {
  for (const args of [["--size", "12"], ["--screenshot", "soon:x.png", "a.html"], ["--click", "1:5", "a.html"], []]) {
    const run = spawnSync(env.shell, args, { encoding: "utf8" });
    assert.equal(run.status, 2, `${args.join(" ")}: ${run.stderr}`);
    assert.ok(run.stderr.trim().length > 0, `${args.join(" ")}: says why`);
  }
});

test("a page that reports a failure ends the run with status 1", async () => {
  const script = scenarioFile("failing.jsonl", [{ op: "dance" }, { op: "destroy", id: "nobody" }]);
  const run = await runShell([page("scenario.html", { script })], { seconds: 30 });
  assert.equal(run.status, 1);
  const errors = run.lines.filter((line) => line.kind === "error").map((line) => line.seq);
  assert.deepEqual(errors, [1, 2], "each bad line has its error, and the lines after it still run");
  assert.equal(run.lines.at(-1).kind, "exit");
});

test("a plug-in process that dies under live elements ends the run with status 3", async () => {
  const script = scenarioFile("long.jsonl", [
    { op: "create", id: "camera", attrs: [] },
    { op: "run", ms: 20000 },
  ]);
  // Kill it once both the instance and the process are known.
  let created = false;
  let pluginPid = 0;
  let killed = 0;
  const run = await runShell([page("scenario.html", { script })], {
    seconds: 30,
    onLine: (line) => {
      if (line.kind === "created" && line.id === "camera") created = true;
      if (line.kind === "plugin-process") pluginPid = line.pid;
      if (created && pluginPid && !killed) {
        killed = pluginPid;
        process.kill(pluginPid, "SIGKILL");
      }
    },
  });
  assert.ok(killed > 0, "the plug-in process was found");
  assert.equal(run.status, 3, `status ${run.status}`);
  const gone = run.lines.find((line) => line.kind === "plugin-process-gone");
  assert.equal(gone?.pid, killed);
  assert.equal(run.lines.at(-1).reason, "the plug-in process died");
});

test("a page error ends the run at once with status 1, and the exit line names it", async () => {
  const cases = [
    // Chromium 87 has no top-level await in modules.
    ["syntax", '<script type="module">await null;</script>', /^page 1: Uncaught SyntaxError: .*syntax\.html:1\)$/],
    ["missing-module", '<script type="module" src="./no-such.js"></script>', /cannot load the module script .*no-such\.js/],
    ["throws", "<script>setTimeout(() => null.x, 10);</script>", /Uncaught TypeError: .*throws\.html:1\)$/],
    ["rejects", '<script>Promise.reject(new Error("nobody caught me"));</script>', /Uncaught \(in promise\) Error: nobody caught me/],
  ];
  for (const [name, html, failure] of cases) {
    const run = await runShell([pageFile(`${name}.html`, html)], { seconds: 20 });
    assert.equal(run.status, 1, `${name}: status`);
    assert.ok(run.lines.some((line) => line.kind === "page-error"), `${name}: a page-error line`);
    const exit = run.lines.at(-1);
    assert.equal(exit.reason, "page 1 has an error", name);
    assert.match(exit.failure, failure, name);
  }
  const missing = await runShell([outPath("no-such-page.html")], { seconds: 20 });
  assert.equal(missing.status, 1, "a page that does not load");
  assert.equal(missing.lines.at(-1).failure, "page 1: the page did not load");
});

test("a page of real <embed> elements: created, post and destroyed from the shell, sent from the page client; times count from the load", async () => {
  const shot = outPath("embed-page.png");
  const file = pageFile(
    "embed-page.html",
    `<embed id="controller" type="application/x-tallwick-render" data-controller>
     <embed type="application/x-tallwick-render" data-multi style="width:320px;height:180px">
     <script type="module">
       import { TallwickClient } from "/web/tallwick-render.js";
       const [c, g] = document.querySelectorAll("embed");
       (async () => {
         await new TallwickClient(c, { timeout: 5000 }).request("DO_UPDATE_SHARED_MEMORY", { op: 2 });
         await new TallwickClient(g, { timeout: 5000 }).request("INIT", { fps: 30, bkcolor: [9, 9, 9, 255] });
         g.remove();
       })();
     </script>`,
  );
  const run = await runShell([file], { seconds: 2, args: ["--screenshot", `1:${shot}`] });
  assert.equal(run.status, 0, run.stderr);
  const of = (kind, id) => run.lines.filter((line) => line.kind === kind && line.id === id);
  for (const [id, command] of [["controller", "DO_UPDATE_SHARED_MEMORY"], ["embed1", "INIT"]]) {
    assert.equal(of("created", id).length, 1, `${id} created`);
    assert.equal(of("sent", id).map((line) => line.msg.command).join(), command, `${id}: what it was sent`);
    const replies = of("post", id).filter((line) => line.msg.response === command);
    assert.deepEqual(
      replies.map((line) => line.msg.custom),
      of("sent", id).map((line) => line.msg.custom),
      `${id}: the reply`,
    );
  }
  assert.equal(of("destroyed", "embed1").length, 1, "the removed gallery");
  assert.equal(of("destroyed", "controller").length, 0, "the controller stays");

  const loaded = run.lines.find((line) => line.kind === "loaded");
  const screenshot = run.lines.find((line) => line.kind === "screenshot");
  assert.ok(loaded.ok, "the page loaded");
  assert.ok(screenshot.t >= loaded.t + 1000, `the screenshot (${screenshot.t} ms) 1 s after the load (${loaded.t} ms)`);
  assert.ok(run.lines.at(-1).t >= loaded.t + 2000, "the run ends 2 s after the load");
});
