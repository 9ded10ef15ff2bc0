// The page client: requests as promises, events by name, and the protocol's
// names, over any element that speaks to the module (a <pp-plugin> of
// plugin-element.js in either host, or a real <embed> of the module's type).
//
//   import "./plugin-element.js";
//   import { Commands, Events, TallwickClient } from "./tallwick-render.js";
//
//   const speaker = new TallwickClient(document.getElementById("speaker"), { debug: true, timeout: 5000 });
//   speaker.on(Events.NEED_RESIZE, ({ width, height }) => ...);
//   await speaker.request(Commands.INIT, { uid: "u7", sid: "s7", fps: 30, dpr: devicePixelRatio });
//   const { data } = await speaker.request(Commands.GET_FRAME_COUNT);
//
// As a package: web/ is the npm package "tallwick-render" (this file, its
// types and the page library). A page project installs it from a checkout
// with `npm install <checkout>/web` and imports "tallwick-render" (and
// "tallwick-render/plugin-element.js"). `npm ci` in web/ gives a page
// developer TypeScript, at the version the tests use:
//
//   npm install /path/to/tallwick-ppapi-render/web   # in the page project
//   cd web && npm ci && npx tsc -p ../examples       # tsc; checks the example page
//
// Requests. `request(command, data, custom, options)` posts {command, data,
// custom} and returns a promise for the reply: it resolves to {response,
// error: 0, data, custom}, or rejects with a TallwickError (its code, the
// code's text and the reply) when the error is not 0. Several requests may be
// on the way at once, to one element or to many.
//
// Matching. The module echoes a request's "custom" in its reply and reads
// nothing of it but a string "uuid", which it writes to its log. So the
// client sends its own custom, with the page's inside:
//
//   custom: {custom: <the page's custom, when it gave one>, request, uuid}
//
// `request` is a number unique in the page and picks the waiting promise;
// `uuid` is the page's own custom.uuid when that is a string (the log then
// names the request as the page does), else "<element id>-<request>". The
// reply's custom is the page's value again, unwrapped: a copy that went
// through the plug-in's messaging, so give JSON data (strings, numbers,
// booleans, null, arrays, plain objects; a real host may give a dictionary's
// keys back in another order). The element's own "message" events
// still carry every message exactly as the module posted it, replies with
// the client's custom around the page's.
//
// Posting. The client calls the element's postMessage when it sends. A
// <pp-plugin> always has one and holds messages until its instance exists; a
// real plug-in <embed> has none until the browser has made its plug-in (never
// before the element is in the document). While the element has none, the
// client holds the requests itself and sends them, in order, with the
// element's first message (INSTANCE_LOADED).
//
// Timeouts. By default a request waits for its reply as long as it takes. A
// request the module never answers (sent to an element removed meanwhile,
// to an <embed> that never starts, or before the `pphost serve` connection
// closed) stays pending until close(); the element's "bridgeclose" rejects
// what is pending as well. With a timeout in milliseconds, for the client
// (`{ timeout }` or `client.timeout`) or for one request (`{ timeout }` as
// request's fourth argument, which wins; 0 waits for ever), a request whose
// reply has not come in that time rejects with a TallwickTimeoutError naming
// the command; a reply that comes later is dropped, and a request still held
// for an <embed> is then never sent.
//
// Debug mode (`{ debug: true }` or `client.debug = true`). The client warns on
// the console, once per cause, when the page sends a command where the module
// does nothing useful with it: a command the element's role lacks (its role
// read from the element's attributes as the module reads them), a command to
// an element out of the document or to an <embed> whose instance has not
// started, START_RENDER before INIT,
// rendering commands in the wrong state, commands that do nothing, and INIT
// data that shows nothing (no dpr, a colour that is not four numbers). The
// client judges the state from the requests it sent itself; messages posted
// by hand past it are not counted.
//
// Events. Every event an element posts is given to the callbacks that
// `on(name, callback)` registered, as callback(data, message), and is
// dispatched on the element as a CustomEvent named as the event, with the
// event's data as `detail` ({} for events without data). `once(name)` is a
// promise for the next one's data. Replies are not events.
//
// One client to an element; close() lets the element go.
//
// Types for TypeScript pages: tallwick-render.d.ts beside this file.

// Commands a page sends (and "RESET_SHOOM", which the controller also sends
// the render elements itself). Each name stands for itself.
export const Commands = names([
  "INIT", "RESET", "GET_PID", "SET_PROCESS_TITLE", "SET_FRAME_INFO_INTERVAL", "SET_MEETING_INFO",
  "DO_UPDATE_SHARED_MEMORY", "GET_SHARED_MEMORY_DIFFS", "START_RENDER", "STOP_RENDER", "HIDE_CURSOR",
  "SHOW_CURSOR", "RESET_SHOOM", "GET_FRAME_COUNT", "CLEAR_BUFFER", "3D_CONTEXT_LOST", "UPDATE_MULTI_INFOS",
]);

// Events the elements post.
export const Events = names([
  "INSTANCE_LOADED", "MOUSE_UP", "ERROR", "PONG", "RENDER_STARTED", "RENDER_STOPPED", "NEED_RESIZE",
  "RENDER_FRAME_STATUS_CHANGE", "MULTI_FRAME_STATUS_CHANGE", "MULTI_RENDER_STARTED",
]);

// Stream kinds and frame statuses, as they appear in data.
export const StreamKinds = names(["CAMERA", "SCREEN", "LOCAL_SCREEN", "PREVIEW", "MERGE"]);
export const FrameStatuses = names(["NORMAL_FRAME", "NO_FRAME"]);

// The element attributes that give an instance its role; neither makes a
// single-stream element.
export const RoleAttributes = Object.freeze({ CONTROLLER: "data-controller", MULTI: "data-multi" });

// "op" of DO_UPDATE_SHARED_MEMORY.
export const ShareMemoryOps = Object.freeze({ ADD: 0, REMOVE: 1, CLEAR: 2 });

// Error codes of replies and of ERROR's errorCode, and their texts.
export const ErrorCodes = Object.freeze({
  NONE: 0,
  RESET: 1,
  UPDATE_SHARE_MEMORY: 2,
  INVALID_COMMAND: 3,
  INSTANCE_TYPE_MISMATCH: 4,
  SHARE_MEMORY_NOT_FOUND: 5,
  RENDERING_STARTED: 6,
  RENDERING_STOPPED: 7,
  ALREADY_INITED: 8,
  NOT_INITED: 9,
  SET_CURSOR: 10,
  START_RENDER: 11,
  STOP_RENDER: 12,
  OPEN_SHOOM: 13,
  RESIZE_BUFFER: 14,
  COMPILE_SHADER: 15,
  LINK_SHADER: 16,
  BIND_GRAPHICS: 17,
  INIT_PPAPI: 18,
  INIT_TEXTURE: 19,
  CONTEXT_LOST: 20,
  UNKNOWN21: 21,
  FRAME_DATA_NULL: 22,
  FRAME_UPDATING: 23,
  FRAME_UNDRAWABLE: 24,
});

// The text of each code, by its number.
export const ErrorTexts = Object.freeze([
  "",
  "error when reset",
  "error when doUpdateShareMemory",
  "invalid command sent to pp plugin",
  "send a command which dismatches the type of instance",
  "share memory not found",
  "rendering has been started",
  "rendering has been stopped",
  "instance is already inited",
  "instance not inited",
  "set cursor failed",
  "start render error",
  "stop render error",
  "open shoom error",
  "resize buffer error",
  "error when compile shaders",
  "link shader error",
  "bind graphics error",
  "init ppapi error",
  "init texture error",
  "instance context lost",
  "unknown",
  "frame data nullptr",
  "frame is updating",
  "frame cannot be drawn",
]);

// The text of a code; "unknown" for a code without one.
export function errorText(code) {
  return Number.isInteger(code) && code >= 0 && code < ErrorTexts.length ? ErrorTexts[code] : "unknown";
}

function names(list) {
  return Object.freeze(Object.fromEntries(list.map((name) => [name, name])));
}

// The commands each role has; any other command answers error 3.
export const RoleCommands = Object.freeze({
  controller: Object.freeze([
    "INIT", "RESET", "GET_PID", "SET_PROCESS_TITLE", "SET_FRAME_INFO_INTERVAL", "SET_MEETING_INFO",
    "DO_UPDATE_SHARED_MEMORY", "GET_SHARED_MEMORY_DIFFS",
  ]),
  single: Object.freeze([
    "INIT", "RESET", "START_RENDER", "STOP_RENDER", "HIDE_CURSOR", "SHOW_CURSOR", "RESET_SHOOM", "GET_FRAME_COUNT",
    "CLEAR_BUFFER", "3D_CONTEXT_LOST",
  ]),
  gallery: Object.freeze([
    "INIT", "START_RENDER", "STOP_RENDER", "HIDE_CURSOR", "SHOW_CURSOR", "RESET_SHOOM", "GET_FRAME_COUNT",
    "UPDATE_MULTI_INFOS",
  ]),
});

// The role an element's instance takes: the first of its attributes that
// names one decides; neither makes a single-stream element. Undefined for a
// target without attributes.
export function roleOf(element) {
  if (!element || typeof element.attributes !== "object" || element.attributes === null) return undefined;
  for (const { name } of Array.from(element.attributes)) {
    if (name === RoleAttributes.CONTROLLER) return "controller";
    if (name === RoleAttributes.MULTI) return "gallery";
  }
  return "single";
}

// A reply whose error is not 0.
export class TallwickError extends Error {
  constructor(reply) {
    const text = errorText(reply.error);
    super(`${String(reply.response)} failed: ${reply.error} "${text}"`);
    this.name = "TallwickError";
    this.code = reply.error;
    this.text = text;
    this.reply = reply;
  }
}

// A request whose reply did not come within its timeout.
export class TallwickTimeoutError extends Error {
  constructor(command, timeout, sent) {
    const why = sent ? "" : " (never sent: the element's instance had not started)";
    super(`${String(command)}: no reply within ${timeout} ms${why}`);
    this.name = "TallwickTimeoutError";
    this.command = command;
    this.timeout = timeout;
  }
}

let lastRequest = 0; // shared by every client of the page, so requests never collide
const taken = new WeakSet(); // elements that have a client

// A browser's own plug-in element (not a <pp-plugin>, which wraps one).
function isPluginEmbed(element) {
  const embed = globalThis.HTMLEmbedElement, object = globalThis.HTMLObjectElement;
  return Boolean((embed && element instanceof embed) || (object && element instanceof object));
}

function isDictionary(value) {
  return typeof value === "object" && value !== null && !Array.isArray(value);
}

const roleNames = { controller: "controller", single: "single-stream", gallery: "gallery" };

function isColour(value) {
  return Array.isArray(value) && value.length === 4 && value.every((part) => typeof part === "number");
}

// What the page can get wrong with one request, seen from what the client
// sent the element before: [cause, warning] pairs. `state` holds `inited`
// and `rendering` as the module has them after those requests.
function misuses(role, command, data, state) {
  const found = [];
  if (!RoleCommands[role].includes(command)) {
    const roles = Object.keys(RoleCommands).filter((other) => RoleCommands[other].includes(command));
    const whose = roles.length
      ? `a command of ${roles.map((r) => roleNames[r]).join(" and ")} elements`
      : "no command";
    found.push([`role ${command}`, `${String(command)} is ${whose}; a ${roleNames[role]} element answers error 3`]);
    return found;
  }
  const rendering = role === "single" || role === "gallery";
  if (command === "INIT" && rendering) {
    if (typeof data.dpr !== "number" || data.dpr === 0) {
      found.push([
        "INIT dpr",
        "INIT without a dpr: the drawing buffer has no size and nothing is visible; send dpr: devicePixelRatio",
      ]);
    }
    if (role === "gallery" && "backgroundColor" in data && !isColour(data.backgroundColor)) {
      found.push(["INIT colour", "INIT's backgroundColor is not four numbers: the element keeps its previous colour"]);
    }
    if (role === "single" && state.rendering) {
      found.push([
        "INIT while rendering",
        "INIT while rendering first does what RESET does: rendering stops, without RENDER_STOPPED; send " +
          "START_RENDER again after the INIT",
      ]);
    }
  }
  if (command === "START_RENDER" && !state.inited) {
    found.push(
      role === "single"
        ? [
            "START_RENDER before INIT",
            "START_RENDER before INIT: the element has nothing to draw with, and the INIT that follows stops " +
              "rendering again (as RESET does), so at most one frame shows and then the picture freezes; send INIT " +
              "first, then START_RENDER",
          ]
        : ["START_RENDER before INIT", "START_RENDER before INIT: a gallery answers error 9; send INIT first"],
    );
  } else if (command === "START_RENDER" && state.rendering) {
    found.push([
      "START_RENDER while rendering",
      role === "single"
        ? "START_RENDER while rendering changes nothing"
        : "START_RENDER while rendering: a gallery answers error 6",
    ]);
  }
  if (command === "STOP_RENDER" && !state.rendering) {
    found.push(["STOP_RENDER while stopped", "STOP_RENDER while not rendering: the element answers error 7"]);
  }
  if (command === "CLEAR_BUFFER" && !state.inited) {
    found.push([
      "CLEAR_BUFFER before INIT",
      "CLEAR_BUFFER before INIT: the element has no 3D context and answers error 9",
    ]);
  }
  const idle =
    (role === "controller" && (command === "RESET" || command === "SET_FRAME_INFO_INTERVAL")) ||
    (role === "single" && command === "3D_CONTEXT_LOST");
  if (idle) found.push([`idle ${command}`, `${command} does nothing on a ${roleNames[role]} element`]);
  if (command === "UPDATE_MULTI_INFOS" && Array.isArray(data.renderInfos)) {
    const config = (tile) => (isDictionary(tile) && isDictionary(tile.renderConfig) ? tile.renderConfig : {});
    const odd = data.renderInfos.some(
      (tile) => "backgroundColor" in config(tile) && !isColour(config(tile).backgroundColor),
    );
    if (odd) {
      found.push(["tile colour", "a tile's backgroundColor is not four numbers: its background is transparent black"]);
    }
  }
  return found;
}

// How the module's state moves with a request the page sends.
function advance(role, command, state) {
  if (command === "INIT" && role !== "controller") {
    state.inited = true;
    if (role === "single") state.rendering = false; // INIT first does what RESET does
  } else if (command === "START_RENDER" && (role === "single" || state.inited)) {
    state.rendering = true;
  } else if (command === "STOP_RENDER" || (command === "RESET" && role === "single")) {
    state.rendering = false;
  }
}

export class TallwickClient {
  #pending = new Map(); // request number -> {command, resolve, reject, timer}
  #held = new Map(); // request number -> message, while the element cannot post yet
  #callbacks = new Map(); // event name -> Set of callbacks
  #heard = false; // the element has posted a message: its instance has started
  #state = { inited: false, rendering: false }; // as the requests sent so far left the module
  #warned = new Set(); // debug causes already warned about
  #onMessage = (event) => this.#received(event.data);
  #onBridgeClose = () => this.#rejectPending("the connection to pphost serve closed");

  // options: {debug: warn of useless commands, timeout: ms a request waits
  // for its reply (0, the default, waits for ever)}.
  constructor(element, options = {}) {
    if (taken.has(element)) throw new Error(`element ${element.id || ""} already has a TallwickClient`);
    taken.add(element);
    this.element = element;
    this.debug = Boolean(options.debug);
    this.timeout = options.timeout ?? 0;
    element.addEventListener("message", this.#onMessage);
    element.addEventListener("bridgeclose", this.#onBridgeClose);
  }

  // options: {timeout: ms for this request, instead of the client's}.
  request(command, data = {}, custom = undefined, options = {}) {
    const request = ++lastRequest;
    const ownUuid = isDictionary(custom) && typeof custom.uuid === "string" ? custom.uuid : undefined;
    // Keys in alphabetical order: Chromium gives a dictionary back sorted by
    // key, pphost in the order sent, and so both give back what was sent.
    const wrapped = custom === undefined ? {} : { custom };
    wrapped.request = request;
    wrapped.uuid = ownUuid ?? `${this.element.id || "request"}-${request}`;
    if (this.debug) this.#check(command, data);
    advance(roleOf(this.element), command, this.#state);
    const timeout = options.timeout ?? this.timeout;
    return new Promise((resolve, reject) => {
      const waiting = { command, resolve, reject, timer: undefined };
      this.#pending.set(request, waiting);
      if (timeout > 0 && timeout < Infinity) {
        waiting.timer = setTimeout(() => this.#timedOut(request, timeout), timeout);
      }
      this.#post(request, { command, data, custom: wrapped });
    });
  }

  // Calls callback(data, message) for every event of that name; returns a
  // function that stops it.
  on(name, callback) {
    if (!this.#callbacks.has(name)) this.#callbacks.set(name, new Set());
    const callbacks = this.#callbacks.get(name);
    const entry = (data, message) => callback(data, message);
    callbacks.add(entry);
    return () => callbacks.delete(entry);
  }

  once(name) {
    return new Promise((resolve) => {
      const off = this.on(name, (data) => {
        off();
        resolve(data);
      });
    });
  }

  // Stops listening to the element and rejects what is still pending.
  close() {
    this.element.removeEventListener("message", this.#onMessage);
    this.element.removeEventListener("bridgeclose", this.#onBridgeClose);
    this.#callbacks.clear();
    this.#held.clear();
    this.#rejectPending("the client was closed");
    taken.delete(this.element);
  }

  // The element's postMessage is looked up at each send: a real <embed> has
  // none until the browser has made its plug-in.
  #post(request, message) {
    if (this.#held.size === 0 && typeof this.element.postMessage === "function") this.#send(message);
    else this.#held.set(request, message);
  }

  #sendHeld() {
    if (typeof this.element.postMessage !== "function") return;
    const held = [...this.#held.values()];
    this.#held.clear();
    for (const message of held) this.#send(message);
  }

  // In tallwick-shell a real <embed>'s sends get their "sent" lines here:
  // the shell cannot see them (a <pp-plugin> reports its own).
  #send(message) {
    const shell = globalThis.tallwickShell;
    if (shell && typeof shell.sent === "function" && isPluginEmbed(this.element)) shell.sent(this.element, message);
    this.element.postMessage(message);
  }

  #timedOut(request, timeout) {
    const waiting = this.#pending.get(request);
    if (!waiting) return;
    this.#pending.delete(request);
    const sent = !this.#held.delete(request);
    waiting.reject(new TallwickTimeoutError(waiting.command, timeout, sent));
  }

  #rejectPending(why) {
    for (const { reject, timer } of this.#pending.values()) {
      clearTimeout(timer);
      reject(new Error(`no reply: ${why}`));
    }
    this.#pending.clear();
  }

  #check(command, data) {
    const role = roleOf(this.element);
    const found = [];
    if (this.element.isConnected === false) {
      found.push([
        "not in the document",
        `${String(command)} sent to an element that is not in the document: it has no instance, and the request ` +
          "waits until the element joins the document (a removed element never answers)",
      ]);
    } else if (!this.#heard && typeof this.element.postMessage !== "function") {
      // A <pp-plugin> takes messages before its instance exists and holds them
      // itself; an <embed> cannot until the browser has made its plug-in.
      found.push([
        "not started",
        `${String(command)} sent before the element's INSTANCE_LOADED: it has no postMessage yet, and the ` +
          "client holds the request until the instance has started; if INSTANCE_LOADED never comes, the element " +
          "is not the module's plug-in",
      ]);
    }
    if (role) found.push(...misuses(role, command, isDictionary(data) ? data : {}, this.#state));
    for (const [cause, text] of found) {
      if (this.#warned.has(cause)) continue;
      this.#warned.add(cause);
      console.warn(`tallwick-render (${this.element.id || roleNames[role] || "element"}): ${text}`);
    }
  }

  #received(message) {
    if (!this.#heard) {
      this.#heard = true;
      if (this.#held.size > 0) this.#sendHeld();
    }
    if (!isDictionary(message)) return;
    if ("response" in message) this.#answered(message);
    else if (typeof message.command === "string") this.#event(message);
  }

  // Replies to requests of other clients, or posted by hand, are not ours.
  #answered(message) {
    const tag = message.custom;
    const waiting = isDictionary(tag) ? this.#pending.get(tag.request) : undefined;
    if (!waiting) return;
    this.#pending.delete(tag.request);
    clearTimeout(waiting.timer);
    const reply = { response: message.response, error: message.error, data: message.data ?? {}, custom: tag.custom };
    if (reply.error === ErrorCodes.NONE) waiting.resolve(reply);
    else waiting.reject(new TallwickError(reply));
  }
  // A callback that throws is reported as an uncaught error; the other
  // callbacks and the DOM event still get the event.
  #event(message) {
    const data = message.data ?? {};
    for (const callback of [...(this.#callbacks.get(message.command) ?? [])]) {
      try {
        callback(data, message);
      } catch (error) {
        setTimeout(() => {
          throw error;
        });
      }
    }
    this.element.dispatchEvent(new CustomEvent(message.command, { detail: data }));
  }
}
