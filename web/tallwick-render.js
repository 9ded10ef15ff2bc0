// The page client: requests as promises, events by name, and the protocol's
// names, over any element that speaks to the module (a <pp-plugin> of
// plugin-element.js in either host, or a real <embed> of the module's type).
//
//   import "./plugin-element.js";
//   import { Commands, Events, TallwickClient } from "./tallwick-render.js";
//
//   const speaker = new TallwickClient(document.getElementById("speaker"));
//   speaker.on(Events.NEED_RESIZE, ({ width, height }) => ...);
//   await speaker.request(Commands.INIT, { uid: "u7", sid: "s7", fps: 30, dpr: devicePixelRatio });
//   const { data } = await speaker.request(Commands.GET_FRAME_COUNT);
//
// Requests. `request(command, data, custom)` posts {command, data, custom}
// and returns a promise for the reply: it resolves to {response, error: 0,
// data, custom}, or rejects with a TallwickError (its code, the code's text
// and the reply) when the error is not 0. Several requests may be on the way
// at once, to one element or to many.
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
// A request the module never answers (sent to an element removed meanwhile,
// or before the `pphost serve` connection closed) stays pending until
// close(); the element's "bridgeclose" rejects what is pending as well.
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

let lastRequest = 0; // shared by every client of the page, so requests never collide
const taken = new WeakSet(); // elements that have a client

function isDictionary(value) {
  return typeof value === "object" && value !== null && !Array.isArray(value);
}

export class TallwickClient {
  #pending = new Map(); // request number -> {resolve, reject}
  #callbacks = new Map(); // event name -> Set of callbacks
  #onMessage = (event) => this.#received(event.data);
  #onBridgeClose = () => this.#rejectPending("the connection to pphost serve closed");

  constructor(element) {
    if (taken.has(element)) throw new Error(`element ${element.id || ""} already has a TallwickClient`);
    taken.add(element);
    this.element = element;
    element.addEventListener("message", this.#onMessage);
    element.addEventListener("bridgeclose", this.#onBridgeClose);
  }

  request(command, data = {}, custom = undefined) {
    const request = ++lastRequest;
    const ownUuid = isDictionary(custom) && typeof custom.uuid === "string" ? custom.uuid : undefined;
    // Keys in alphabetical order: Chromium gives a dictionary back sorted by
    // key, pphost in the order sent, and so both give back what was sent.
    const wrapped = custom === undefined ? {} : { custom };
    wrapped.request = request;
    wrapped.uuid = ownUuid ?? `${this.element.id || "request"}-${request}`;
    return new Promise((resolve, reject) => {
      this.#pending.set(request, { resolve, reject });
      this.element.postMessage({ command, data, custom: wrapped });
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
    this.#rejectPending("the client was closed");
    taken.delete(this.element);
  }

  #rejectPending(why) {
    for (const { reject } of this.#pending.values()) reject(new Error(`no reply: ${why}`));
    this.#pending.clear();
  }

  #received(message) {
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
