// A media process written against the frame-writer library alone
// (examples/writer-demo.c) and the meeting page: its registration record goes
// into the page as it printed it, and both render elements show its stream
// live. WRITER_DEMO names the program.
import assert from "node:assert/strict";
import { spawn } from "node:child_process";
import { after, before, test } from "node:test";
import { firstLine, stop } from "../support/meeting_streams.mjs";
import { launchBrowser, startServer, waitFor } from "./meeting_fixture.mjs";

let writer;
let diffs;
let server;
let browser;

before(async () => {
  const name = `/tallwick-browser-writer-${process.pid}`;
  writer = spawn(process.env.WRITER_DEMO, ["--name", name, "--uid", "w1", "--sid", "ws1", "--size", "320x180"], {
    stdio: ["ignore", "pipe", "inherit"],
  });
  diffs = await firstLine(writer, /^\[/, "writer-demo");
  server = await startServer();
  browser = await launchBrowser();
});

after(async () => {
  await browser?.close();
  await server?.stop();
  // writer-demo ends on SIGTERM with 0, having removed its segment's name.
  assert.equal(await stop(writer), 0, "writer-demo's exit status");
});

const replies = (page, element) =>
  page.evaluate(
    (id) => window.meeting.events.filter((e) => e.element === id && e.message.response === "GET_FRAME_COUNT"),
    element,
  );

// Luma-ish brightness of the speaker's canvas at a point.
function brightness(page, x, y) {
  return page.evaluate(
    ([px, py]) => {
      const [r, g, b] = document.getElementById("speaker").canvas.getContext("2d").getImageData(px, py, 1, 1).data;
      return (r + g + b) / 3;
    },
    [x, y],
  );
}

test("the meeting page shows writer-demo's stream in the speaker and a gallery tile", async () => {
  const record = JSON.parse(diffs);
  assert.deepEqual(record.map(({ uid, sid, frameFormat }) => ({ uid, sid, frameFormat })), [
    { uid: "w1", sid: "ws1", frameFormat: 0 },
  ]);
  const page = await browser.newPage({ viewport: { width: 1960, height: 1000 } });
  const address = new URL("meeting.html", server.url);
  address.searchParams.set("diffs", diffs);
  address.searchParams.set("countAt", "1000,3000");
  await page.goto(address.href);

  const started = (element, command) =>
    page.evaluate(([id, name]) => window.meeting.events.some((e) => e.element === id && e.message.command === name), [
      element,
      command,
    ]);
  await waitFor(() => started("speaker", "RENDER_STARTED"), 10000, "the speaker's RENDER_STARTED");
  await waitFor(() => started("gallery", "MULTI_RENDER_STARTED"), 10000, "the gallery's MULTI_RENDER_STARTED");

  // The stream is live: both elements draw new frames between the two counts.
  for (const element of ["speaker", "gallery"]) {
    const counts = await waitFor(async () => {
      const got = await replies(page, element);
      return got.length >= 2 && got;
    }, 10000, `${element}'s two GET_FRAME_COUNT replies`);
    const frames = counts.map((reply) => reply.message.data.w1_CAMERA.frameCount);
    assert.ok(frames[1] > frames[0], `${element} drew no new frame between its counts: ${frames}`);
    assert.deepEqual([counts[1].message.data.w1_CAMERA.width, counts[1].message.data.w1_CAMERA.height], [320, 180]);
  }

  // The picture is writer-demo's: dark at the top, light at the bottom, but
  // where its white bar is; the bar covers one of two columns far apart.
  const columns = [];
  for (const x of [20, 300]) columns.push([x, await brightness(page, x, 4), await brightness(page, x, 176)]);
  assert.ok(
    columns.some(([, top, bottom]) => bottom - top > 30),
    `the speaker's picture is not the stream's gradient (x, top, bottom): ${JSON.stringify(columns)}`,
  );
  await page.close();
});
