// web/meeting.html in tallwick-shell: the module in Chromium's own Pepper
// host, against nine solid-colour streams (user 1 at 1280x720, the others at
// 640x360, user 3 in NV12) that frame-publisher writes at 30 fps.
import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { bt601, kUsers, startPublisher } from "../support/meeting_streams.mjs";
import { moduleLog, near, outPath, page, pixel, postsOf, readPng, runShell } from "./shell_fixture.mjs";

const kSize = "1960x800";
const kTolerance = 8;

function meetingPage(diffs, extra = {}) {
  return page("meeting.html", { diffs, ...extra });
}

function linesOf(run, kind, pageNumber = 1) {
  return run.lines.filter((line) => line.kind === kind && line.page === pageNumber);
}

function postsOnPage(run, id, pageNumber = 1) {
  return postsOf(
    run.lines.filter((line) => line.page === pageNumber),
    id,
  );
}

function center([x, y, w, h]) {
  return [x + w / 2, y + h / 2];
}

// The window pixel at the middle of a tile of the reported layout.
function tileCenter(layout, uid) {
  const tile = layout.tiles.find((t) => t.uid === uid);
  const [x, y] = center(tile.rect);
  return [layout.gallery[0] + x, layout.gallery[1] + y];
}

function assertColour(png, [x, y], rgb, what) {
  const actual = pixel(png, x, y);
  const expected = bt601(rgb);
  assert.ok(near(actual, expected, kTolerance), `${what} at ${x},${y}: ${actual} is not ${expected}`);
}

describe("the meeting page in the shell", () => {
  let publisher;
  let speakerBox;
  before(async () => {
    publisher = await startPublisher(kUsers);
  });
  after(async () => publisher?.stop());

  test("handshake, started events, the colours of every stream, and a layout change that moves tiles", async () => {
    const grid = outPath("meeting-grid.png");
    const spotlight = outPath("meeting-spotlight.png");
    const run = await runShell([meetingPage(publisher.diffs, { layoutAfter: 3000, countAt: "1000,5000" })], {
      seconds: 8,
      args: ["--size", kSize, "--screenshot", `3:${grid}`, "--screenshot", `7.5:${spotlight}`],
    });
    assert.equal(run.status, 0, run.stderr);

    const controller = postsOnPage(run, "controller");
    assert.ok(controller.some((m) => m.command === "INSTANCE_LOADED"), "the controller's handshake");
    for (const command of ["INIT", "SET_MEETING_INFO", "DO_UPDATE_SHARED_MEMORY"]) {
      assert.ok(controller.some((m) => m.response === command && m.error === 0), `${command} answered 0`);
    }
    assert.ok(postsOnPage(run, "speaker").some((m) => m.command === "RENDER_STARTED"), "the speaker started");
    const gallery = postsOnPage(run, "gallery");
    assert.ok(gallery.some((m) => m.command === "RENDER_STARTED"), "the gallery started");
    const started = new Set(gallery.filter((m) => m.command === "MULTI_RENDER_STARTED").map((m) => m.data.userId));
    assert.deepEqual([...started].sort(), kUsers.map((u) => u.uid).sort(), "MULTI_RENDER_STARTED for every user");

    const [gridLayout, spotlightLayout] = linesOf(run, "layout");
    assert.equal(gridLayout.layout, "grid");
    assert.equal(spotlightLayout?.layout, "spotlight", "the layout changed");
    speakerBox = gridLayout.speaker;

    const gridPng = readPng(grid);
    assertColour(gridPng, center(gridLayout.speaker), kUsers[0].rgb, "the speaker (user 1, I420 1280x720)");
    for (const user of kUsers) {
      assertColour(gridPng, tileCenter(gridLayout, user.uid), user.rgb, `tile ${user.uid}`);
    }
    // Spotlight: user 1 spans the top-left 2x2 cells, so the middle cell that
    // showed user 5 now shows user 1; user 7 is no longer shown.
    const spotlightPng = readPng(spotlight);
    const middle = tileCenter(gridLayout, "u5");
    assertColour(spotlightPng, middle, kUsers[0].rgb, "user 1's big tile over the middle cell");
    assertColour(spotlightPng, tileCenter(spotlightLayout, "u6"), kUsers[5].rgb, "user 6 in the spotlight layout");

    const counts = postsOnPage(run, "speaker").filter((m) => m.response === "GET_FRAME_COUNT");
    assert.equal(counts.length, 2);
    assert.ok(counts[1].data.u1_CAMERA.frameCount > counts[0].data.u1_CAMERA.frameCount, "the speaker kept drawing");

    // Chromium's GL decoder warns on every draw: one line, then counts.
    const warnings = linesOf(run, "console").filter((line) => /PERFORMANCE WARNING/.test(line.text));
    const firsts = warnings.filter((line) => line.repeated === undefined);
    assert.equal(new Set(firsts.map((line) => line.text + line.source)).size, firsts.length, "each warning once");
    const repeats = warnings.reduce((sum, line) => sum + (line.repeated ?? 0), 0);
    assert.ok(repeats > 50, `the repeats are counted (${repeats}), not written`);
  });

  test("a click gives MOUSE_UP and HIDE_CURSOR hides the cursor; two pages are kept apart; closing one destroys its instances only", async () => {
    assert.ok(speakerBox, "the first test found the speaker");
    const [x, y] = center(speakerBox).map(Math.round);
    const run = await runShell(
      [
        meetingPage(publisher.diffs, { hideCursor: "", gallery: "off" }),
        meetingPage(publisher.diffs, { countAt: "1000,6000", gallery: "off" }),
      ],
      { seconds: 11, args: ["--size", kSize, "--click", `4:${x},${y}`, "--close", "5:1"] },
    );
    assert.equal(run.status, 0, `the plug-in process lived on:\n${run.stderr}`);

    assert.ok(postsOnPage(run, "speaker", 1).some((m) => m.command === "MOUSE_UP"), "MOUSE_UP on page 1");
    assert.ok(!postsOnPage(run, "speaker", 2).some((m) => m.command === "MOUSE_UP"), "no MOUSE_UP on page 2");
    const cursors = linesOf(run, "cursor", 1);
    const click = run.lines.find((line) => line.kind === "click");
    assert.ok(cursors.some((c) => c.shape === "blank" && c.t >= click.t), "the cursor is hidden over the speaker");

    // Every reply reaches the page that asked, and only that page.
    for (const pageNumber of [1, 2]) {
      const sent = new Set(linesOf(run, "sent", pageNumber).map((line) => JSON.stringify(line.msg.custom)));
      for (const reply of linesOf(run, "post", pageNumber).filter((line) => line.msg.response !== undefined)) {
        assert.ok(sent.has(JSON.stringify(reply.msg.custom)), `page ${pageNumber}: a reply it did not ask for`);
      }
    }
    // Page 2 draws on after page 1 has gone (closed at 5 s; its second count
    // comes 6 s after its segments were registered, 5 s of margin for a slow
    // start before the run ends).
    const closed = run.lines.find((line) => line.kind === "close");
    const counts = linesOf(run, "post", 2).filter((line) => line.msg.response === "GET_FRAME_COUNT");
    assert.equal(counts.length, 2);
    assert.ok(counts[1].t > closed.t);
    assert.ok(counts[1].msg.data.u1_CAMERA.frameCount > counts[0].msg.data.u1_CAMERA.frameCount);

    // The module's log keeps its lines although Chromium kills the plug-in
    // process: at least page 1's three instances (controller, speaker, and
    // the gallery element that was never started) were destroyed.
    const destroyed = moduleLog(run).split("\n").filter((line) => line.includes("MediatorInstance destroyed"));
    assert.ok(destroyed.length >= 3, `instances destroyed: ${destroyed.length}`);
  });
});
