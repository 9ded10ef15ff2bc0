// The three scenarios through pphost and tallwick-shell; what is compared
// and masked is in scenario_compare.mjs.
import assert from "node:assert/strict";
import { test } from "node:test";
import { compareScenario, withExampleSegments } from "./scenario_compare.mjs";
import { moduleLog, postsOf } from "./shell_fixture.mjs";

test("hello: the three roles' start, unknown commands and MOUSE_UP, as in pphost", async () => {
  const { shell } = await compareScenario("hello");
  assert.ok(postsOf(shell.lines, "camera").some((m) => m.command === "MOUSE_UP"));
});

test("controller-meeting: handshake, segments and their registry, as in pphost", async () => {
  await compareScenario("controller-meeting");
});

test("gallery: tiles start, show their frames and go quiet, as in pphost", async () => {
  const { shell } = await withExampleSegments(() => compareScenario("gallery"));
  assert.ok(shell.lines.some((line) => line.kind === "skipped" && line.op === "pixels"), "pixels are not played");
  // Removing the elements destroyed their instances (the gallery, render
  // type 2, and the controller, 3): the module's log says so, although
  // Chromium kills the plug-in process without shutting the module down.
  const log = moduleLog(shell);
  for (const type of [2, 3]) assert.match(log, new RegExp(`MediatorInstance destroyed, rendertype: ${type}\\b`));
});
