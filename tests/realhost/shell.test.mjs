// tallwick-shell's own promises: how a run ends and what its exit status
// says, for a bad argument, a page that reports a failure, and a plug-in
// process that dies under a page that still has plug-in elements.
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
