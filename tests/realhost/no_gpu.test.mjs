// Without a 3D context. Chromium blocklists Mesa's software GL, so unless the
// shell passes --ignore-gpu-blocklist (it does unless told --gpu-blocklist)
// every 3D context creation fails; pphost --refuse-contexts fails them the
// same way. The page must get the same replies and events from both.
import assert from "node:assert/strict";
import { test } from "node:test";
import { compareScenario, withExampleSegments } from "./scenario_compare.mjs";
import { postsOf } from "./shell_fixture.mjs";

test("gallery without 3D contexts: the same replies and events as pphost --refuse-contexts", async () => {
  const { shell } = await withExampleSegments(() =>
    compareScenario("gallery", { pphostArgs: ["--refuse-contexts"], shellArgs: ["--gpu-blocklist"] }),
  );
  // Binding a context that was never made succeeds in both hosts, so the
  // module goes on: its shaders cannot compile (error 15), and it still says
  // that it started.
  const gallery = postsOf(shell.lines, "gallery");
  assert.ok(gallery.some((m) => m.command === "ERROR" && m.data.errorCode === 15), "ERROR 15");
  assert.ok(gallery.some((m) => m.command === "RENDER_STARTED"), "RENDER_STARTED all the same");
});
