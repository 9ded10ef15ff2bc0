// The page client (web/tallwick-render.js) in node, against stand-in elements
// that answer as the module does: how it posts through an element whose
// postMessage comes late (a real <embed>), request timeouts on a fake clock,
// and the debug mode's warnings. No browser, no module.
import assert from "node:assert/strict";
import { afterEach, beforeEach, describe, test } from "node:test";

// Node 18 has CustomEvent only behind a flag; the client dispatches events as
// CustomEvents.
globalThis.CustomEvent ??= class extends Event {
  constructor(type, options = {}) {
    super(type);
    this.detail = options.detail ?? null;
  }
};

const { TallwickClient, TallwickError, TallwickTimeoutError, roleOf } = await import("../../web/tallwick-render.js");

// setTimeout and clearTimeout on a clock that moves only when told.
class FakeClock {
  now = 0;
  timers = new Map(); // id -> {due, callback}
  #nextId = 1;

  install() {
    this.saved = { setTimeout: globalThis.setTimeout, clearTimeout: globalThis.clearTimeout };
    globalThis.setTimeout = (callback, delay = 0) => {
      const id = this.#nextId++;
      this.timers.set(id, { due: this.now + delay, callback });
      return id;
    };
    globalThis.clearTimeout = (id) => this.timers.delete(id);
  }

  uninstall() {
    Object.assign(globalThis, this.saved);
  }

  // Moves the clock on by ms, running each timer that comes due on the way,
  // then lets the promises those settled run their callbacks.
  async advance(ms) {
    const end = this.now + ms;
    for (;;) {
      const next = [...this.timers].filter(([, t]) => t.due <= end).sort((a, b) => a[1].due - b[1].due)[0];
      if (!next) break;
      this.timers.delete(next[0]);
      this.now = next[1].due;
      next[1].callback();
    }
    this.now = end;
    await settle();
  }
}

// Lets every promise callback that is ready run.
const settle = () => new Promise((resolve) => setImmediate(resolve));

// An element of the module's plug-in: attributes in order, in the document
// or not, and a postMessage that records what it got and, with `answers`,
// replies as the module would (answers(message, index) gives the error code).
class StandIn extends EventTarget {
  constructor({ id = "", attributes = [], connected = true, answers, canPost = true } = {}) {
    super();
    this.id = id;
    this.attributes = attributes.map((name) => ({ name, value: "" }));
    this.isConnected = connected;
    this.sent = [];
    this.answers = answers;
    if (canPost) this.postMessage = (message) => this.#got(message);
    this.localName = canPost ? "pp-plugin" : "embed";
  }

  // What a real <embed> does when its instance has started: it gets its
  // postMessage and posts INSTANCE_LOADED.
  // The two may come apart: postMessage can exist before the first message
  // is dispatched.
  start({ post = true } = {}) {
    this.postMessage = (message) => this.#got(message);
    if (post) this.post({ command: "INSTANCE_LOADED" });
  }

  post(message) {
    this.dispatchEvent(new MessageEvent("message", { data: message }));
  }

  reply(message, error = 0) {
    this.post({ response: message.command, error, data: {}, custom: message.custom });
  }

  #got(message) {
    this.sent.push(message);
    if (this.answers) this.reply(message, this.answers(message, this.sent.length - 1));
  }
}

// What a promise came to so far: "pending", {resolved} or {rejected}.
function outcomeOf(promise) {
  const outcome = { state: "pending" };
  promise.then(
    (value) => Object.assign(outcome, { state: "resolved", value }),
    (error) => Object.assign(outcome, { state: "rejected", error }),
  );
  return outcome;
}

describe("posting", () => {
  test("through an element without postMessage yet (a real <embed>): held, then sent in order when it starts", async () => {
    const embed = new StandIn({ id: "speaker", canPost: false });
    const client = new TallwickClient(embed);
    const first = outcomeOf(client.request("INIT", { dpr: 1 }, "a"));
    await settle();
    assert.equal(first.state, "pending");
    embed.start({ post: false });
    const second = outcomeOf(client.request("START_RENDER", {}, "b"));
    assert.deepEqual(embed.sent, [], "nothing overtakes what is held");
    embed.post({ command: "INSTANCE_LOADED" });
    assert.deepEqual(
      embed.sent.map((m) => [m.command, m.custom.custom]),
      [["INIT", "a"], ["START_RENDER", "b"]],
    );
    // Sent once the element has started, a request goes out at once.
    const third = outcomeOf(client.request("GET_FRAME_COUNT"));
    assert.equal(embed.sent.length, 3);
    for (const message of embed.sent) embed.reply(message);
    await settle();
    assert.deepEqual([first.value.custom, second.value.custom, third.value.response], ["a", "b", "GET_FRAME_COUNT"]);
  });

  test("close() drops what it held and rejects it", async () => {
    const embed = new StandIn({ canPost: false });
    const client = new TallwickClient(embed);
    const waiting = outcomeOf(client.request("INIT"));
    client.close();
    await settle();
    assert.match(waiting.error.message, /no reply: the client was closed/);
    embed.start();
    assert.deepEqual(embed.sent, []);
  });
});

describe("timeouts", () => {
  let clock;
  beforeEach(() => {
    clock = new FakeClock();
    clock.install();
  });
  afterEach(() => clock.uninstall());

  test("none by default: a request waits as long as its reply takes", async () => {
    const element = new StandIn();
    const client = new TallwickClient(element);
    const waiting = outcomeOf(client.request("GET_PID"));
    assert.equal(clock.timers.size, 0, "no timer is armed");
    await clock.advance(24 * 3600 * 1000);
    assert.equal(waiting.state, "pending");
    element.reply(element.sent[0]);
    await settle();
    assert.equal(waiting.state, "resolved");
  });

  test("the client's: rejects when it has passed, naming the command; the late reply changes nothing", async () => {
    const element = new StandIn({ id: "controller" });
    const client = new TallwickClient(element, { timeout: 500 });
    const late = outcomeOf(client.request("GET_PID"));
    await clock.advance(300);
    const answered = outcomeOf(client.request("GET_SHARED_MEMORY_DIFFS"));
    await clock.advance(199);
    assert.equal(late.state, "pending", "not before its time");
    await clock.advance(1);
    assert.equal(late.state, "rejected");
    assert.ok(late.error instanceof TallwickTimeoutError);
    assert.ok(!(late.error instanceof TallwickError));
    assert.equal(late.error.name, "TallwickTimeoutError");
    assert.equal(late.error.message, "GET_PID: no reply within 500 ms");
    assert.deepEqual([late.error.command, late.error.timeout], ["GET_PID", 500]);

    // The other request is answered in time, its timer goes with the reply.
    element.reply(element.sent[1]);
    element.reply(element.sent[0]);
    await settle();
    assert.equal(answered.state, "resolved");
    assert.equal(late.state, "rejected");
    assert.equal(clock.timers.size, 0);
  });

  test("a request's own wins over the client's, and 0 waits for ever", async () => {
    const element = new StandIn();
    const client = new TallwickClient(element, { timeout: 1000 });
    const longer = outcomeOf(client.request("INIT", {}, undefined, { timeout: 3000 }));
    const never = outcomeOf(client.request("RESET", {}, undefined, { timeout: 0 }));
    const shorter = outcomeOf(client.request("GET_PID", {}, undefined, { timeout: 10 }));
    client.timeout = 0;
    const afterChange = outcomeOf(client.request("SET_MEETING_INFO"));
    await clock.advance(10);
    assert.deepEqual([longer.state, never.state, shorter.state], ["pending", "pending", "rejected"]);
    await clock.advance(2990);
    assert.deepEqual([longer.state, never.state], ["rejected", "pending"]);
    assert.match(longer.error.message, /^INIT: no reply within 3000 ms$/);
    await clock.advance(1e9);
    assert.deepEqual([never.state, afterChange.state], ["pending", "pending"]);
    client.close();
    await settle();
    assert.equal(clock.timers.size, 0);
  });

  test("a request held for an element that never starts is never sent, and its error says so", async () => {
    const embed = new StandIn({ canPost: false });
    const client = new TallwickClient(embed, { timeout: 2000 });
    const waiting = outcomeOf(client.request("INIT"));
    const kept = outcomeOf(client.request("START_RENDER", {}, undefined, { timeout: 0 }));
    await clock.advance(2000);
    assert.equal(waiting.error.message, "INIT: no reply within 2000 ms (never sent: the element's instance had not started)");
    embed.start();
    assert.deepEqual(embed.sent.map((m) => m.command), ["START_RENDER"], "only what still waits is sent");
    assert.equal(kept.state, "pending");
  });
});

describe("debug mode", () => {
  let warnings;
  let savedWarn;
  beforeEach(() => {
    warnings = [];
    savedWarn = console.warn;
    console.warn = (...args) => warnings.push(args.join(" "));
  });
  afterEach(() => {
    console.warn = savedWarn;
  });

  // A started element of the role the attributes give, whose client sends
  // the commands in order; the warnings each command drew.
  async function warningsOf(attributes, commands, options = { debug: true }, answers = () => 0) {
    const element = new StandIn({ id: "e", attributes, answers });
    const client = new TallwickClient(element, options);
    element.post({ command: "INSTANCE_LOADED" });
    const drawn = [];
    for (const [command, data] of commands) {
      const before = warnings.length;
      await client.request(command, data).catch(() => {});
      drawn.push(warnings.slice(before));
    }
    client.close();
    return drawn;
  }

  const kSingleInit = ["INIT", { uid: "u1", fps: 30, renderExceptionThreshold: 2000, dpr: 1 }];
  const kGalleryInit = ["INIT", { fps: 30, dpr: 2, backgroundColor: [0, 0, 0, 1] }];

  test("a page that uses each role as documented draws no warning", async () => {
    const controller = await warningsOf(["data-controller"], [
      ["INIT", { logPath: "" }], ["SET_MEETING_INFO", { selfUid: "u1" }], ["DO_UPDATE_SHARED_MEMORY", { op: 0, diffs: [] }],
      ["GET_SHARED_MEMORY_DIFFS"], ["GET_PID"], ["INIT", {}],
    ]);
    const single = await warningsOf([], [
      ["GET_FRAME_COUNT"], kSingleInit, ["START_RENDER"], ["CLEAR_BUFFER"], ["HIDE_CURSOR"], ["STOP_RENDER"],
      ["START_RENDER"], ["RESET"], ["START_RENDER"], ["STOP_RENDER"], kSingleInit, ["START_RENDER"],
      ["RESET_SHOOM", { stream_key: "u1_CAMERA" }],
    ]);
    const tile = { userId: "u1", renderConfig: { left: 0, top: 0, width: 320, height: 180, backgroundColor: [0, 0, 0, 1] } };
    const gallery = await warningsOf(["data-multi"], [
      ["UPDATE_MULTI_INFOS", { renderInfos: [tile] }], kGalleryInit, ["START_RENDER"], kGalleryInit,
      ["UPDATE_MULTI_INFOS", { renderInfos: [] }], ["STOP_RENDER"], ["START_RENDER"], ["SHOW_CURSOR"],
    ]);
    assert.deepEqual([...controller, ...single, ...gallery].flat(), []);
  });

  test("single stream: START_RENDER before INIT, the state mistakes, and INIT data that shows nothing", async () => {
    const [early, again, init, , restarted, stop, stopped, stoppedAgain, clear, lost, noDpr] = await warningsOf([], [
      ["START_RENDER"], ["START_RENDER"], kSingleInit, ["START_RENDER"], ["START_RENDER"], ["STOP_RENDER"],
      ["STOP_RENDER"], ["STOP_RENDER"], ["CLEAR_BUFFER"], ["3D_CONTEXT_LOST"], ["INIT", { uid: "u1", fps: 30 }],
    ]);
    assert.equal(early.length, 1);
    assert.match(early[0], /^tallwick-render \(e\): START_RENDER before INIT: .*freezes; send INIT first/);
    assert.deepEqual(again, [], "once per cause");
    // The START_RENDER before INIT did start the paint loop, which INIT stops.
    assert.equal(init.length, 1);
    assert.match(init[0], /INIT while rendering first does what RESET does: .*send START_RENDER again/);
    assert.equal(restarted.length, 1);
    assert.match(restarted[0], /START_RENDER while rendering changes nothing/);
    assert.deepEqual(stop, []);
    assert.match(stopped[0] ?? "", /STOP_RENDER while not rendering: .*error 7/);
    assert.deepEqual(stoppedAgain, []);
    assert.deepEqual(clear, [], "CLEAR_BUFFER after INIT is not judged (the 3D context is not the client's to see)");
    assert.match(lost[0] ?? "", /3D_CONTEXT_LOST does nothing on a single-stream element/);
    assert.match(noDpr[0] ?? "", /INIT without a dpr: .*nothing is visible/);

    const [beforeInit] = await warningsOf([], [["CLEAR_BUFFER"]]);
    assert.match(beforeInit[0] ?? "", /CLEAR_BUFFER before INIT: .*error 9/);
    const [, , whileRendering] = await warningsOf([], [kSingleInit, ["START_RENDER"], kSingleInit]);
    assert.match(whileRendering[0] ?? "", /INIT while rendering .*rendering stops, without RENDER_STOPPED/);
  });

  test("gallery: START_RENDER before INIT or twice, STOP_RENDER while stopped, colours that are not four numbers", async () => {
    const [early, init, started, twice, stopped, stoppedAgain, badInit, badTile] = await warningsOf(
      ["data-multi"],
      [
        ["START_RENDER"], kGalleryInit, ["START_RENDER"], ["START_RENDER"], ["STOP_RENDER"], ["STOP_RENDER"],
        ["INIT", { dpr: 1, backgroundColor: [0, 0, 0] }],
        ["UPDATE_MULTI_INFOS", { renderInfos: [{ renderConfig: { backgroundColor: [0, 0, "0", 1] } }] }],
      ],
      { debug: true },
      (_, index) => ({ 0: 9, 3: 6, 5: 7 })[index] ?? 0,
    );
    assert.match(early[0] ?? "", /START_RENDER before INIT: a gallery answers error 9/);
    assert.deepEqual([init, started], [[], []], "START_RENDER after a refused one is judged afresh");
    assert.match(twice[0] ?? "", /START_RENDER while rendering: a gallery answers error 6/);
    assert.deepEqual(stopped, []);
    assert.match(stoppedAgain[0] ?? "", /STOP_RENDER while not rendering: the element answers error 7/);
    assert.match(badInit[0] ?? "", /backgroundColor is not four numbers: the element keeps its previous colour/);
    assert.match(badTile[0] ?? "", /a tile's backgroundColor is not four numbers/);
  });

  test("commands a role lacks, and commands that do nothing", async () => {
    const [render, lowerCase, reset, interval] = await warningsOf(
      ["data-controller"],
      [["START_RENDER"], ["init"], ["RESET"], ["SET_FRAME_INFO_INTERVAL"]],
    );
    assert.match(render[0] ?? "", /START_RENDER is a command of single-stream and gallery elements; a controller element answers error 3/);
    assert.match(lowerCase[0] ?? "", /init is no command; a controller element answers error 3/);
    assert.match(reset[0] ?? "", /RESET does nothing on a controller element/);
    assert.match(interval[0] ?? "", /SET_FRAME_INFO_INTERVAL does nothing/);
    const [update, resetGallery] = await warningsOf(["data-multi"], [["CLEAR_BUFFER"], ["RESET"]]);
    assert.match(update[0] ?? "", /CLEAR_BUFFER is a command of single-stream elements; a gallery element answers error 3/);
    assert.match(resetGallery[0] ?? "", /RESET is a command of controller and single-stream elements/);
  });

  test("the role is the first role attribute's, as the module reads it", () => {
    const attributes = (...names) => new StandIn({ attributes: names });
    assert.equal(roleOf(attributes("id", "data-multi", "data-controller")), "gallery");
    assert.equal(roleOf(attributes("data-controller", "data-multi")), "controller");
    assert.equal(roleOf(attributes("class", "data-multiple")), "single");
    assert.equal(roleOf(new EventTarget()), undefined);
  });

  test("commands before the instance started, or to an element out of the document", async () => {
    const embed = new StandIn({ id: "late", attributes: ["data-controller"], canPost: false });
    const client = new TallwickClient(embed, { debug: true });
    client.request("GET_PID");
    client.request("GET_PID");
    assert.equal(warnings.length, 1);
    assert.match(warnings[0], /^tallwick-render \(late\): GET_PID sent before the element's INSTANCE_LOADED: it has no postMessage yet/);
    embed.start();
    client.request("GET_SHARED_MEMORY_DIFFS");
    assert.equal(warnings.length, 1, "nothing once the element has posted");

    // A <pp-plugin> takes messages before its instance exists, and holds them.
    const plugin = new StandIn({ attributes: ["data-multi"] });
    new TallwickClient(plugin, { debug: true }).request("GET_FRAME_COUNT");
    assert.equal(warnings.length, 1);

    const removed = new StandIn({ connected: false });
    new TallwickClient(removed, { debug: true }).request("INIT", { dpr: 1 });
    assert.match(warnings[1] ?? "", /INIT sent to an element that is not in the document: it has no instance/);
  });

  test("off by default, and switched on and off by the setter", async () => {
    const misuse = [["START_RENDER"], ["STOP_RENDER"], ["3D_CONTEXT_LOST"], ["INIT", {}]];
    assert.deepEqual((await warningsOf([], misuse, {})).flat(), []);
    const element = new StandIn({ answers: () => 0 });
    const client = new TallwickClient(element);
    element.post({ command: "INSTANCE_LOADED" });
    await client.request("INIT", { dpr: 1 });
    await client.request("START_RENDER");
    assert.equal(warnings.length, 0);
    client.debug = true;
    await client.request("START_RENDER");
    assert.match(warnings[0] ?? "", /START_RENDER while rendering/, "the state counts requests sent before debug was on");
    client.debug = false;
    await client.request("3D_CONTEXT_LOST");
    assert.equal(warnings.length, 1);
  });
});
