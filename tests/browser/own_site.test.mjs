// A page developer's own folder served by `pphost serve --root`: its pages,
// in any subfolder, take the page library from /tallwick/ and reach the
// module through the server's one bridge.
import assert from "node:assert/strict";
import { mkdirSync, writeFileSync } from "node:fs";
import path from "node:path";
import { after, test } from "node:test";
import { env, launchBrowser, startServer } from "./meeting_fixture.mjs";

let server;
let browser;
after(async () => {
  await browser?.close();
  await server?.stop();
});

test("a page of one's own folder uses the page library from /tallwick/ and talks to the module", async () => {
  const site = path.join(env.out, "own-site");
  mkdirSync(path.join(site, "meetings"), { recursive: true });
  writeFileSync(
    path.join(site, "meetings", "room.html"),
    `<!doctype html>
     <script type="module">
       import { createPluginElement } from "/tallwick/plugin-element.js";
       import { TallwickClient } from "/tallwick/tallwick-render.js";
       const element = createPluginElement({ "data-controller": "" });
       document.body.append(element);
       new TallwickClient(element, { timeout: 10000 }).request("GET_PID").then(
         (reply) => (window.outcome = { pid: reply.data.pid }),
         (error) => (window.outcome = { error: String(error) }));
     </script>`,
  );
  server = await startServer([], site);
  browser = await launchBrowser();
  const page = await browser.newPage();
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  await page.goto(new URL("meetings/room.html", server.url).href);
  await page.waitForFunction(() => window.outcome, null, { timeout: 20000 });
  const outcome = await page.evaluate(() => window.outcome);
  assert.deepEqual(errors, []);
  assert.ok(outcome.pid > 0, JSON.stringify(outcome));

  // The library's own files and pages, and only what lies inside it.
  for (const [target, expected] of [["tallwick/tallwick-render.js", 200], ["tallwick/meeting.html", 200],
                                     ["tallwick/%2e%2e/README.md", 404], ["meetings/%2e%2e/%2e%2e/README.md", 404]]) {
    const response = await fetch(new URL(target, server.url));
    assert.equal(response.status, expected, target);
  }
});
