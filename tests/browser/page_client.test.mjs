// The page client (web/tallwick-render.js) in headless chromium against the
// real module through `pphost serve`: replies as promises, the page's custom
// values, events by name and as DOM events, failures with their codes.
import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { launchBrowser, startPublisher, startServer, waitFor } from "./meeting_fixture.mjs";

const kUsers = [
  { uid: "u1", rgb: [200, 60, 40], size: [320, 180] },
  { uid: "u2", rgb: [40, 160, 70], size: [320, 180] },
];

let publisher;
let server;
let browser;
let page;
const pageErrors = [];

before(async () => {
  publisher = await startPublisher(kUsers);
  server = await startServer();
  browser = await launchBrowser();
  page = await browser.newPage();
  page.on("pageerror", (error) => pageErrors.push(error.message));
  await page.goto(server.url);
  // The page's helpers: an element of the given attributes in the document,
  // with a client, and every message it posted.
  await page.addScriptTag({
    type: "module",
    content: `
      import { createPluginElement } from "./plugin-element.js";
      import * as tallwick from "./tallwick-render.js";
      window.tallwick = tallwick;
      window.posted = {};
      window.clientOf = (id, attributes = {}) => {
        const element = createPluginElement(attributes);
        element.id = id;
        window.posted[id] = [];
        element.addEventListener("message", (event) => window.posted[id].push(event.data));
        document.body.append(element);
        return new tallwick.TallwickClient(element);
      };
      // What a failed promise gave, as plain data.
      window.failure = (promise) => promise.then(
        (reply) => ({ resolved: reply }),
        (error) => ({
          name: error.name, isTallwickError: error instanceof tallwick.TallwickError, message: error.message,
          code: error.code, text: error.text, reply: error.reply,
        }));
    `,
  });
  await page.waitForFunction(() => window.tallwick);
});

after(async () => {
  await browser?.close();
  await server?.stop();
  await publisher?.stop();
});

describe("requests", () => {
  test("resolve with their replies, each with the page's own custom, whatever it was", async () => {
    const customs = [
      undefined, "text", 42, -7, 2.5, 2 ** 40, null, true, false, [], [1, "two", { three: [3] }], {},
      { uuid: "page-request-1", attempt: 1 },
      // The client's own keys, and a uuid that is no string: the page's, untouched.
      { uuid: 7, request: 1, custom: { custom: "nested" } },
    ];
    const { replies, wire } = await page.evaluate(async (values) => {
      const controller = clientOf("controller", { "data-controller": "" });
      // All sent at once, before the instance exists; and among them one by
      // hand, not the client's.
      const pending = values.map((custom, i) => {
        if (i === 5) controller.element.postMessage({ command: "GET_PID", data: {}, custom: { request: -1 } });
        return controller.request("GET_PID", {}, custom);
      });
      return { replies: await Promise.all(pending), wire: posted.controller.filter((m) => m.response) };
    }, customs);

    assert.equal(replies.length, customs.length);
    replies.forEach((reply, i) => {
      assert.deepEqual(reply.custom, customs[i], `custom ${JSON.stringify(customs[i])}`);
      assert.equal(reply.response, "GET_PID");
      assert.equal(reply.error, 0);
      assert.ok(Number.isInteger(reply.data.pid) && reply.data.pid > 0, "GET_PID's data");
    });
    // On the wire: the client's custom, whose uuid names the request in the
    // module's log (the page's own uuid when it gave a string one).
    const fromClient = wire.filter((m) => m.custom.request !== -1);
    assert.equal(fromClient.length, customs.length);
    assert.equal(new Set(fromClient.map((m) => m.custom.request)).size, customs.length, "request numbers are distinct");
    assert.equal(fromClient[12].custom.uuid, "page-request-1");
    assert.match(fromClient[13].custom.uuid, /^controller-\d+$/);
    assert.equal(wire.filter((m) => m.custom.request === -1).length, 1, "the hand-posted request got its reply");
  });

  test("to several elements at once each come back to their own promise", async () => {
    const replies = await page.evaluate(async () => {
      const speaker = clientOf("speaker-a");
      const gallery = clientOf("gallery-a", { "data-multi": "" });
      const controller = clientOf("controller-a", { "data-controller": "" });
      return Promise.all([
        gallery.request("GET_FRAME_COUNT", {}, "g1"),
        speaker.request("GET_FRAME_COUNT", {}, "s1"),
        controller.request("GET_SHARED_MEMORY_DIFFS", {}, "c1"),
        gallery.request("INIT", { fps: 30 }, "g2"),
        speaker.request("RESET", {}, "s2"),
      ]);
    });
    assert.deepEqual(
      replies.map((r) => [r.response, r.custom]),
      [["GET_FRAME_COUNT", "g1"], ["GET_FRAME_COUNT", "s1"], ["GET_SHARED_MEMORY_DIFFS", "c1"], ["INIT", "g2"],
        ["RESET", "s2"]],
    );
    assert.deepEqual(replies[0].data, {}, "a gallery without tiles counts nothing");
    assert.deepEqual(Object.keys(replies[1].data), ["_CAMERA"], "a single stream without INIT counts its empty key");
  });

  test("that fail reject with a TallwickError: the code, its text and the reply with the page's custom", async () => {
    const failures = await page.evaluate(async () => {
      const single = clientOf("single-f");
      const gallery = clientOf("gallery-f", { "data-multi": "" });
      const controller = clientOf("controller-f", { "data-controller": "" });
      const results = [
        await failure(single.request("STOP_RENDER", {}, { mine: 1 })),
        await failure(gallery.request("START_RENDER")),
        await failure(controller.request("CLEAR_BUFFER", {}, "x")),
        await failure(single.request("init")),
      ];
      // The client goes on working after a failure.
      results.push(await failure(single.request("RESET")));
      return results;
    });
    const [stopped, notInited, invalid, lowerCase, after] = failures;
    assert.deepEqual(
      { ...stopped, message: undefined },
      {
        name: "TallwickError", isTallwickError: true, message: undefined, code: 7, text: "rendering has been stopped",
        reply: { response: "STOP_RENDER", error: 7, data: {}, custom: { mine: 1 } },
      },
    );
    assert.equal(stopped.message, 'STOP_RENDER failed: 7 "rendering has been stopped"');
    assert.deepEqual([notInited.code, notInited.text], [9, "instance not inited"]);
    assert.deepEqual([invalid.code, invalid.text, invalid.reply.custom], [3, "invalid command sent to pp plugin", "x"]);
    assert.deepEqual([lowerCase.code, lowerCase.reply.response], [3, "init"]);
    assert.equal(after.resolved?.response, "RESET");
  });

  test("still waiting are rejected by close(); an element takes one client at a time", async () => {
    const outcome = await page.evaluate(async () => {
      // Not in the document: no instance, so no reply ever.
      const element = document.createElement("pp-plugin");
      const first = new tallwick.TallwickClient(element);
      const waiting = failure(first.request("GET_PID"));
      let second = "";
      try {
        new tallwick.TallwickClient(element);
      } catch (error) {
        second = error.message;
      }
      first.close();
      const again = new tallwick.TallwickClient(element);
      again.close();
      return { waiting: await waiting, second };
    });
    assert.equal(outcome.waiting.isTallwickError, false);
    assert.match(outcome.waiting.message, /no reply: the client was closed/);
    assert.match(outcome.second, /already has a TallwickClient/);
  });
});

describe("events", () => {
  test("reach the callbacks of their name and the element as DOM events, with their data", async () => {
    const errorsBefore = pageErrors.length;
    await page.evaluate(async (diffs) => {
      const controller = clientOf("controller-e", { "data-controller": "" });
      const segments = JSON.parse(diffs);
      await controller.request("DO_UPDATE_SHARED_MEMORY", { op: tallwick.ShareMemoryOps.ADD, diffs: segments });

      const speaker = clientOf("speaker-e");
      const seen = (window.seen = { resize: [], domResize: [], started: 0, replies: 0, pongs: 0, stoppedPongs: 0 });
      speaker.on("NEED_RESIZE", () => {
        throw new Error("a page callback that throws");
      });
      speaker.on("NEED_RESIZE", (data, message) => seen.resize.push({ data, command: message.command }));
      speaker.element.addEventListener("NEED_RESIZE", (event) => seen.domResize.push(event.detail));
      speaker.on("RENDER_STARTED", () => (seen.started += 1));
      seen.startedOnce = speaker.once("RENDER_STARTED");
      // Replies are not events, though they name a command.
      for (const command of ["INIT", "START_RENDER"]) speaker.on(command, () => (seen.replies += 1));
      speaker.on("PONG", () => (seen.pongs += 1));
      const stop = speaker.on("PONG", () => {
        seen.stoppedPongs += 1;
        stop();
      });

      await speaker.request("INIT", { uid: "u2", sid: "s2", fps: 30, renderExceptionThreshold: 2000, dpr: 1 });
      speaker.element.style.cssText = "width: 320px; height: 180px";
      await speaker.request("START_RENDER");

      const gallery = clientOf("gallery-e", { "data-multi": "" });
      seen.tiles = [];
      gallery.on("MULTI_RENDER_STARTED", (data) => seen.tiles.push(data));
      await gallery.request("INIT", { fps: 30, renderExceptionThreshold: 2000, dpr: 1 });
      gallery.element.style.cssText = "width: 640px; height: 180px";
      const tile = (userId, left) => ({
        userId, streamId: `s${userId.slice(1)}`, streamType: "CAMERA",
        renderConfig: { left, top: 0, width: 320, height: 180 },
      });
      await gallery.request("UPDATE_MULTI_INFOS", { renderInfos: [tile("u1", 0), tile("u2", 320)] });
      await gallery.request("START_RENDER");
    }, publisher.diffs);

    const seen = await waitFor(
      () => page.evaluate(() => seen.started === 1 && seen.tiles.length === 2 && seen.pongs >= 2 && seen),
      15000,
      "RENDER_STARTED, two tiles and two PONGs",
    );
    const resize = { width: 320, height: 180, planS0: 320, planS1: 160, planS2: 160, rotation: 0, flip: false };
    assert.equal(seen.resize.length, 1);
    assert.deepEqual({ ...seen.resize[0].data, frameId: undefined }, { ...resize, frameId: undefined });
    assert.equal(seen.resize[0].command, "NEED_RESIZE");
    assert.deepEqual(seen.domResize, [seen.resize[0].data], "the DOM event's detail is the event's data");
    assert.deepEqual(await page.evaluate(() => seen.startedOnce), {}, "once() gives an event without data as {}");
    assert.deepEqual(
      seen.tiles.sort((a, b) => a.userId.localeCompare(b.userId)),
      [{ streamId: "s1", userId: "u1", isScreen: false }, { streamId: "s2", userId: "u2", isScreen: false }],
    );
    assert.equal(seen.replies, 0, "no reply reached an event callback");
    assert.equal(seen.stoppedPongs, 1, "a stopped callback is not called again");
    await waitFor(() => pageErrors.length > errorsBefore, 5000, "the throwing callback's error");
    assert.match(pageErrors.at(-1), /a page callback that throws/);
  });
});

describe("elements and debug mode", () => {
  test("a real <embed> without the plug-in: no postMessage, requests held until close(); a started <pp-plugin> warns only of misuse", async () => {
    const outcome = await page.evaluate(async () => {
      const warnings = [];
      const savedWarn = console.warn;
      console.warn = (...args) => warnings.push(args.join(" "));
      try {
        // Here no browser plug-in runs the module, so the element never
        // starts: the state a real <embed> is in until its instance has.
        const embed = document.createElement("embed");
        embed.type = "application/x-tallwick-render";
        embed.id = "lone-embed";
        document.body.append(embed);
        const onEmbed = new tallwick.TallwickClient(embed, { debug: true });
        const held = failure(onEmbed.request("INIT", { dpr: 1 }));
        const pending = await Promise.race([held.then(() => "settled"), new Promise((r) => setTimeout(r, 0, "pending"))]);
        onEmbed.close();
        embed.remove();

        // A <pp-plugin> whose instance started before its client was made.
        const element = document.createElement("pp-plugin");
        element.id = "started-first";
        const loaded = new Promise((resolve) => element.addEventListener("message", resolve, { once: true }));
        document.body.append(element);
        await loaded;
        const speaker = new tallwick.TallwickClient(element, { debug: true });
        const warningsBefore = warnings.length;
        const early = await speaker.request("START_RENDER");
        speaker.close();
        element.remove();
        return {
          postMessage: typeof embed.postMessage, pending, held: await held, embedWarnings: warnings.slice(0, warningsBefore),
          pluginWarnings: warnings.slice(warningsBefore), early: early.error,
        };
      } finally {
        console.warn = savedWarn;
      }
    });
    assert.equal(outcome.postMessage, "undefined", "lib.dom is right: an <embed> has no postMessage of its own");
    assert.equal(outcome.pending, "pending");
    assert.match(outcome.held.message, /no reply: the client was closed/);
    assert.equal(outcome.embedWarnings.length, 1, JSON.stringify(outcome.embedWarnings));
    assert.match(outcome.embedWarnings[0], /^tallwick-render \(lone-embed\): INIT sent before the element's INSTANCE_LOADED/);
    assert.equal(outcome.early, 0, "a single-stream START_RENDER before INIT answers 0");
    assert.equal(outcome.pluginWarnings.length, 1, JSON.stringify(outcome.pluginWarnings));
    assert.match(outcome.pluginWarnings[0], /^tallwick-render \(started-first\): START_RENDER before INIT: .*freezes/);
  });
});
