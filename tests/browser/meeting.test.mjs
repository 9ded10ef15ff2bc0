// The meeting page in headless chromium against the real module through
// `pphost serve`: what a developer sees when they open the printed address.
import assert from "node:assert/strict";
import { request } from "node:http";
import { after, before, describe, test } from "node:test";
import path from "node:path";
import {
  bt601, env, kUsers, launchBrowser, startPublisher, startServer, status, waitFor,
} from "./meeting_fixture.mjs";

let publisher;
let server;
let browser;

before(async () => {
  publisher = await startPublisher();
  server = await startServer();
  browser = await launchBrowser();
});

after(async () => {
  await browser?.close();
  // pphost ends on SIGTERM with 0; a sanitizer's report at its exit is not 0.
  const serverExit = await server?.stop();
  await publisher?.stop();
  assert.equal(serverExit, 0, "pphost serve's exit status");
});

async function openMeeting() {
  const page = await browser.newPage({ viewport: { width: 1960, height: 1000 } });
  page.on("console", (message) => {
    const text = message.text();
    if ((message.type() === "warning" || message.type() === "error") && !text.includes("willReadFrequently")) {
      console.log(`page: ${text}`);
    }
  });
  const address = new URL("meeting.html", server.url);
  address.searchParams.set("diffs", publisher.diffs);
  await page.goto(address.href);
  return page;
}

function eventsOf(page, element, command) {
  return page.evaluate(
    ([id, name]) => window.meeting.events.filter((e) => e.element === id && e.message.command === name),
    [element, command],
  );
}

// RGB of the element's canvas at a point of its picture.
function canvasPixel(page, element, x, y) {
  return page.evaluate(
    ([id, px, py]) => Array.from(document.getElementById(id).canvas.getContext("2d").getImageData(px, py, 1, 1).data).slice(0, 3),
    [element, x, y],
  );
}

function assertColour(actual, rgb, what) {
  const expected = bt601(rgb);
  const off = actual.map((c, i) => Math.abs(c - expected[i]));
  assert.ok(Math.max(...off) <= 12, `${what}: ${actual} is not ${expected} (the BT.601 colour of ${rgb})`);
}

// Where the page put a user's tile, and the colour at its centre.
async function tileCentre(page, uid) {
  const tile = await page.evaluate((u) => window.meeting.tiles.find((t) => t.userId === u)?.renderConfig, uid);
  return tile && [Math.round(tile.left + tile.width / 2), Math.round(tile.top + tile.height / 2)];
}

describe("the meeting page", () => {
  let page;
  before(async () => {
    page = await openMeeting();
  });
  after(() => page?.close());

  test("the controller's handshake completes and both render roles start", async () => {
    await waitFor(() => page.evaluate(() => window.meeting.handshake), 10000, "the controller's INSTANCE_LOADED");
    const shm = await waitFor(
      () => page.evaluate(() => Object.values(window.meeting.replies).find((r) => r.response === "DO_UPDATE_SHARED_MEMORY")),
      10000, "the reply to DO_UPDATE_SHARED_MEMORY");
    assert.equal(shm.error, 0);
    await waitFor(async () => (await eventsOf(page, "speaker", "RENDER_STARTED")).length === 1, 15000, "RENDER_STARTED");
    const started = await waitFor(async () => {
      const events = await eventsOf(page, "gallery", "MULTI_RENDER_STARTED");
      return events.length >= 9 && events;
    }, 15000, "MULTI_RENDER_STARTED for nine tiles");
    assert.deepEqual(started.map((e) => e.message.data.userId).sort(), kUsers.map((u) => u.uid));
  });

  test("the speaker's canvas shows its stream's colour, and the gallery each user's in their tile", async () => {
    await waitFor(() => page.evaluate(() => document.getElementById("speaker").stats.framesShown > 3), 10000, "speaker frames");
    await waitFor(() => page.evaluate(() => document.getElementById("gallery").stats.framesShown > 3), 10000, "gallery frames");
    const [width, height] = await page.evaluate(() => [document.getElementById("speaker").canvas.width, document.getElementById("speaker").canvas.height]);
    assert.deepEqual([width, height], [640, 360], "the speaker's picture has its element's size");
    for (const [x, y] of [[0.5, 0.5], [0.05, 0.05], [0.95, 0.95]]) {
      const at = [Math.round(x * width), Math.round(y * height)];
      assertColour(await canvasPixel(page, "speaker", ...at), kUsers[0].rgb, `speaker at ${at} of ${width}x${height}`);
    }
    for (const user of kUsers) {
      const [x, y] = await tileCentre(page, user.uid);
      assertColour(await canvasPixel(page, "gallery", x, y), user.rgb, `${user.uid}'s tile at ${x},${y}`);
    }
    await page.screenshot({ path: path.join(env.out, "meeting.png") });
  });

  test("a layout change moves the tiles on screen", async () => {
    const before = await tileCentre(page, "u3");
    assertColour(await canvasPixel(page, "gallery", ...before), kUsers[2].rgb, "u3 before the change");
    const shown = await page.evaluate(() => document.getElementById("gallery").stats.framesShown);
    await page.click("#layout");
    const after = await tileCentre(page, "u2");
    assert.deepEqual(after, before, "in the spotlight layout u2 takes u3's place");
    await waitFor(async () => {
      const frames = await page.evaluate(() => document.getElementById("gallery").stats.framesShown);
      if (frames < shown + 3) return false;
      const [r, g, b] = await canvasPixel(page, "gallery", ...after);
      const want = bt601(kUsers[1].rgb);
      return Math.max(Math.abs(r - want[0]), Math.abs(g - want[1]), Math.abs(b - want[2])) <= 12;
    }, 10000, "u2's colour where u3 was");
    const big = await tileCentre(page, "u1");
    assertColour(await canvasPixel(page, "gallery", ...big), kUsers[0].rgb, "u1's large tile");
    assert.equal(await tileCentre(page, "u9"), undefined, "u9 is not shown in the spotlight layout");
    await page.screenshot({ path: path.join(env.out, "meeting-spotlight.png") });
  });

  test("a mouse release reaches the speaker as input, and its cursor requests set the element's CSS cursor", async () => {
    const released = (await eventsOf(page, "speaker", "MOUSE_UP")).length;
    const box = await page.locator("#speaker").boundingBox();
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
    await waitFor(async () => (await eventsOf(page, "speaker", "MOUSE_UP")).length === released + 1, 5000, "MOUSE_UP");
    await page.evaluate(() => document.getElementById("speaker").postMessage({ command: "HIDE_CURSOR", data: {}, custom: {} }));
    await waitFor(() => page.evaluate(() => document.getElementById("speaker").style.cursor === "none"), 5000, "cursor none");
    await page.evaluate(() => document.getElementById("speaker").postMessage({ command: "SHOW_CURSOR", data: {}, custom: {} }));
    await waitFor(() => page.evaluate(() => document.getElementById("speaker").style.cursor === "default"), 5000,
      "cursor default");
  });

  test("closing the tab leaves nothing alive in the host", async () => {
    const open = await status(server.url);
    assert.equal(open.tabs, 1);
    assert.ok(open.live_contexts >= 2, "the speaker and the gallery hold a 3D context each");
    await page.close();
    page = undefined;
    const closed = await waitFor(async () => {
      const now = await status(server.url);
      return now.tabs === 0 && now;
    }, 10000, "the tab to be gone");
    assert.deepEqual(closed, { tabs: 0, elements: 0, live_vars: 0, live_resources: 0, live_contexts: 0 });
  });
});

describe("two tabs", () => {
  test("are two pages: the same element ids, their own instances and events", async () => {
    const [first, second] = [await openMeeting(), await openMeeting()];
    for (const page of [first, second]) {
      await waitFor(async () => (await eventsOf(page, "speaker", "RENDER_STARTED")).length === 1, 15000, "RENDER_STARTED in each");
    }
    const both = await status(server.url);
    assert.equal(both.tabs, 2);
    assert.equal(both.elements, 6);
    await first.close();
    await waitFor(async () => (await status(server.url)).tabs === 1, 10000, "one tab left");
    const frames = await second.evaluate(() => document.getElementById("speaker").stats.framesShown);
    await waitFor(() => second.evaluate((n) => document.getElementById("speaker").stats.framesShown > n + 5, frames), 10000,
      "the other tab goes on");
    await second.close();
    await waitFor(async () => (await status(server.url)).live_resources === 0, 10000, "nothing alive");
  });
});

// A raw request, so that headers and paths go out exactly as written.
function rawGet(url, target, headers = {}) {
  return new Promise((resolve, reject) => {
    const address = new URL(url);
    const req = request({ host: address.hostname, port: address.port, path: target, headers }, (response) => {
      response.resume();
      response.on("end", () => resolve(response.statusCode));
    });
    req.on("error", reject);
    req.end();
  });
}

describe("a tab that draws nothing", () => {
  test("is sent one picture of an element however often it presents", async () => {
    const page = await browser.newPage();
    await page.goto(server.url);
    const diffs = JSON.parse(publisher.diffs);
    // The bridge spoken by hand: the speaker's INIT and START_RENDER, and never a "drawn".
    const pictures = await page.evaluate(async ([segments]) => {
      const socket = new WebSocket(location.href.replace(/^http/, "ws") + "bridge");
      socket.binaryType = "arraybuffer";
      let count = 0;
      let presents = 0;
      socket.onmessage = (event) => {
        if (typeof event.data !== "string") count += 1;
        else if (JSON.parse(event.data).msg?.command === "PONG") presents += 1;
      };
      await new Promise((resolve) => { socket.onopen = resolve; });
      const send = (request) => socket.send(JSON.stringify(request));
      send({ op: "create", id: "c", attrs: [["data-controller", ""]] });
      send({ op: "message", id: "c", msg: { command: "DO_UPDATE_SHARED_MEMORY", data: { op: 0, diffs: segments }, custom: {} } });
      send({ op: "create", id: "s", attrs: [] });
      send({ op: "view", id: "s", rect: [0, 0, 320, 180] });
      send({ op: "message", id: "s", msg: { command: "INIT", data: { uid: "u2", sid: "s2", fps: 30, logPath: "", logVersion: 1, uuid: "x" }, custom: {} } });
      send({ op: "message", id: "s", msg: { command: "START_RENDER", data: {}, custom: {} } });
      while (presents < 3) await new Promise((resolve) => setTimeout(resolve, 100));
      socket.close();
      return count;
    }, [diffs]);
    assert.equal(pictures, 1, "one picture over three seconds of 30 fps video");
    await page.close();
    await waitFor(async () => (await status(server.url)).tabs === 0, 10000, "the tab to be gone");
  });
});

describe("the server", () => {
  test("refuses other origins and hosts", async () => {
    const port = new URL(server.url).port;
    assert.equal(await rawGet(server.url, "/meeting.html"), 200);
    assert.equal(await rawGet(server.url, "/meeting.html", { Origin: "http://evil.example" }), 403);
    assert.equal(await rawGet(server.url, "/status", { Origin: `http://127.0.0.1:${Number(port) + 1}` }), 403);
    assert.equal(await rawGet(server.url, "/meeting.html", { Host: `evil.example:${port}` }), 403);
    const upgrade = {
      Connection: "Upgrade", Upgrade: "websocket", "Sec-WebSocket-Version": "13",
      "Sec-WebSocket-Key": "dGhlIHNhbXBsZSBub25jZQ==",
    };
    assert.equal(await rawGet(server.url, "/bridge", { ...upgrade, Origin: "http://evil.example" }), 403);
    assert.equal(await rawGet(server.url, "/bridge", upgrade), 403, "a bridge without an Origin");
  });

  test("a page of another origin cannot open the bridge", async () => {
    const page = await browser.newPage();
    await page.goto("data:text/html,<title>elsewhere</title>");
    const opened = await page.evaluate((url) => new Promise((resolve) => {
      const socket = new WebSocket(url.replace(/^http/, "ws") + "bridge");
      socket.onopen = () => resolve(true);
      socket.onerror = () => resolve(false);
    }), server.url);
    assert.equal(opened, false);
    await page.close();
    assert.equal((await status(server.url)).tabs, 0);
  });

  test("serves nothing outside its folder", async () => {
    for (const target of ["/../CMakeLists.txt", "/%2e%2e/CMakeLists.txt", "/..%2fCMakeLists.txt", "//etc/passwd",
      "/%00", "/nothing-here.html"]) {
      assert.equal(await rawGet(server.url, target), 404, target);
    }
  });
});
