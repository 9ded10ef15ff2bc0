// Plug-in elements for a page that runs in either host:
//
//   <script type="module" src="plugin-element.js"></script>
//   <pp-plugin data-controller></pp-plugin>
//   <pp-plugin data-multi style="width:1280px;height:720px"></pp-plugin>
//
// or from script: `createPluginElement({"data-multi": ""})`. Each element is a
// plug-in instance of the module: its attributes (in order) go to the
// instance when the element joins the document, `postMessage(dict)` reaches
// the instance, what the instance posts arrives as a `message` event with
// `event.data`, and its size, position and visibility (set by CSS) are its
// view. Leaving the document destroys the instance.
//
// Where the browser itself has the module (a shell that registered it for
// PLUGIN_MIME_TYPE), each element holds a real <embed> of that type and the
// browser does the rest: views, input, cursors, drawing. Anywhere else the
// page is served by `pphost serve`: every element of the page shares one
// WebSocket to the server's /bridge, and what the instance presents is drawn
// into a canvas that fills the element; closing the tab destroys its
// instances.
//
// In tallwick-shell (window.tallwickShell) every element also reports what
// it sends ("sent"); the shell itself sees what an <embed> gets and when its
// instance comes and goes.

export const PLUGIN_MIME_TYPE = "application/x-tallwick-render";

// True when this browser runs the module itself.
export function hasRealPlugin() {
  return Boolean(navigator.mimeTypes && navigator.mimeTypes[PLUGIN_MIME_TYPE]);
}

function report(line) {
  if (window.tallwickShell) window.tallwickShell.report(line);
}

const CURSORS = [
  "default", "crosshair", "pointer", "text", "wait", "help", "e-resize", "n-resize", "ne-resize", "nw-resize",
  "s-resize", "se-resize", "sw-resize", "w-resize", "ns-resize", "ew-resize", "nesw-resize", "nwse-resize",
  "col-resize", "row-resize", "all-scroll", "e-resize", "n-resize", "ne-resize", "nw-resize", "s-resize",
  "se-resize", "sw-resize", "w-resize", "move", "vertical-text", "cell", "context-menu", "alias", "progress",
  "no-drop", "copy", "none", "not-allowed", "zoom-in", "zoom-out", "grab", "grabbing",
];
const MOUSE_EVENTS = ["mousedown", "mouseup", "mousemove", "mouseenter", "mouseleave", "contextmenu", "wheel"];
const KEY_EVENTS = { keydown: "keydown", keyup: "keyup", keypress: "char" };

// The page's one connection to the server, opened by the first element.
class Bridge {
  constructor() {
    this.elements = new Map(); // id -> PluginElement
    this.waiting = []; // requests made before the socket opened
    this.socket = new WebSocket(new URL("/bridge", location.href.replace(/^http/, "ws")));
    this.socket.binaryType = "arraybuffer";
    this.socket.onopen = () => this.flush();
    this.socket.onmessage = (event) => this.receive(event.data);
    this.socket.onclose = () => this.elements.forEach((element) => element.bridgeClosed());
  }

  static get() {
    if (!Bridge.page) Bridge.page = new Bridge();
    return Bridge.page;
  }

  register(element) {
    this.elements.set(element.pageId, element);
  }

  forget(id) {
    this.elements.delete(id);
  }

  send(request) {
    const text = JSON.stringify(request);
    if (this.socket.readyState === WebSocket.OPEN) this.socket.send(text);
    else this.waiting.push(text);
  }

  flush() {
    for (const text of this.waiting) this.socket.send(text);
    this.waiting = [];
  }

  receive(data) {
    if (typeof data === "string") this.receiveLine(JSON.parse(data));
    else this.receiveFrame(data);
  }

  receiveLine(line) {
    const element = this.elements.get(line.id);
    if (element) element.hostLine(line);
    else if (line.kind === "error") console.warn("pphost:", line.text);
  }

  // [header length, 4 bytes little-endian][header JSON][picture]
  receiveFrame(buffer) {
    const length = new DataView(buffer).getUint32(0, true);
    const header = JSON.parse(new TextDecoder().decode(new Uint8Array(buffer, 4, length)));
    const element = this.elements.get(header.id);
    if (element) element.frame(header, new Uint8Array(buffer, 4 + length));
    else this.send({ op: "drawn", id: header.id });
  }
}

// One real plug-in instance: an <embed> of the module's type inside the
// element, with the element's attributes in their order. The instance exists
// once it has posted its first message (every instance posts one at the end
// of its start). The embed has postMessage as soon as it is in the document,
// and Chromium delivers what is posted earlier after that first message; the
// element still holds its messages until then and sends them, in the order
// the page posted them, when the instance has started.
class EmbedInstance {
  constructor(element) {
    this.element = element;
    this.embed = document.createElement("embed");
    for (const { name, value } of element.attributes) {
      if (!EmbedInstance.KEPT_ON_ELEMENT.has(name)) this.embed.setAttribute(name, value);
    }
    this.embed.setAttribute("type", PLUGIN_MIME_TYPE);
    this.embed.style.cssText = "display:block;width:100%;height:100%";
    this.embed.addEventListener("message", (event) => this.received(event.data));
    element.appendChild(this.embed);
  }

  received(message) {
    if (!this.element.created) this.element.instanceCreated();
    this.element.dispatchEvent(new MessageEvent("message", { data: message }));
  }

  post(message) {
    report({ kind: "sent", id: this.element.pageId, msg: message });
    this.embed.postMessage(message);
  }

  remove() {
    this.embed.remove();
  }
}
// Attributes that place or name the element itself, not its instance.
EmbedInstance.KEPT_ON_ELEMENT = new Set(["id", "class", "style", "tabindex"]);

// The name a page's element goes by in its host's lines: its id, else one
// of its own.
let nextPageId = 1;
function pageIdOf(element) {
  return element.id || `pp${nextPageId++}`;
}

export class PluginElement extends HTMLElement {
  constructor() {
    super();
    this.canvas = document.createElement("canvas");
    this.canvas.style.cssText = "display:block;width:100%;height:100%";
    this.pending = []; // messages posted before the instance exists
    this.lastView = "";
    // Pictures drawn, the element's present count of the first and the
    // last, and the bytes they took on the wire.
    this.stats = { framesShown: 0, firstPresented: 0, lastPresented: 0, bytes: 0 };
  }

  connectedCallback() {
    if (this.pageId) return;
    if (!this.style.display && getComputedStyle(this).display === "inline") this.style.display = "block";
    this.pageId = pageIdOf(this);
    if (hasRealPlugin()) {
      this.instance = new EmbedInstance(this);
      return;
    }
    if (!this.contains(this.canvas)) this.appendChild(this.canvas);
    this.bridge = Bridge.get();
    this.bridge.register(this);
    const attrs = Array.from(this.attributes, (a) => [a.name, a.value]);
    this.bridge.send({ op: "create", id: this.pageId, attrs });
    this.watchView();
    this.forwardInput();
  }

  disconnectedCallback() {
    if (!this.pageId) return;
    if (this.instance) return this.disconnectEmbed();
    this.resizeObserver.disconnect();
    this.intersectionObserver.disconnect();
    window.removeEventListener("scroll", this.viewChanged, true);
    window.removeEventListener("resize", this.viewChanged);
    document.removeEventListener("visibilitychange", this.viewChanged);
    this.bridge.send({ op: "destroy", id: this.pageId });
    this.bridge.forget(this.pageId);
    this.pageId = undefined;
    this.created = false;
  }

  disconnectEmbed() {
    this.instance.remove();
    this.instance = undefined;
    this.pageId = undefined;
    this.created = false;
    this.pending = [];
  }

  // As a plug-in element's postMessage: the value reaches HandleMessage.
  postMessage(message) {
    if (!this.created) this.pending.push(message);
    else if (this.instance) this.instance.post(message);
    else this.bridge.send({ op: "message", id: this.pageId, msg: message });
  }

  hostLine(line) {
    if (line.kind === "post") this.dispatchEvent(new MessageEvent("message", { data: line.msg }));
    else if (line.kind === "created") this.instanceCreated();
    else if (line.kind === "cursor") this.style.cursor = CURSORS[line.type] || "default";
    else if (line.kind === "error") console.warn(`pphost (${this.pageId}):`, line.text);
  }

  instanceCreated() {
    this.created = true;
    this.lastView = "";
    if (this.viewChanged) this.viewChanged();
    for (const message of this.pending) this.postMessage(message);
    this.pending = [];
  }

  bridgeClosed() {
    this.created = false;
    this.dispatchEvent(new Event("bridgeclose"));
  }

  watchView() {
    this.visibleOnScreen = true;
    this.viewChanged = () => this.sendView();
    this.resizeObserver = new ResizeObserver(this.viewChanged);
    this.resizeObserver.observe(this);
    this.intersectionObserver = new IntersectionObserver((entries) => {
      this.visibleOnScreen = entries[entries.length - 1].isIntersecting;
      this.sendView();
    });
    this.intersectionObserver.observe(this);
    window.addEventListener("scroll", this.viewChanged, true);
    window.addEventListener("resize", this.viewChanged);
    document.addEventListener("visibilitychange", this.viewChanged);
  }

  // The view as a plug-in sees it: the element's box in page pixels, shown or
  // not (a hidden tab, an element scrolled away or sized to nothing), and the
  // device scale.
  sendView() {
    if (!this.created) return;
    const box = this.getBoundingClientRect();
    const rect = [box.left + scrollX, box.top + scrollY, box.width, box.height].map(Math.round);
    const visible = !document.hidden && this.visibleOnScreen && rect[2] > 0 && rect[3] > 0;
    const view = { op: "view", id: this.pageId, rect, visible, scale: devicePixelRatio };
    const text = JSON.stringify(view);
    if (text === this.lastView) return;
    this.lastView = text;
    this.bridge.send(view);
  }

  forwardInput() {
    if (!this.hasAttribute("tabindex")) this.tabIndex = 0; // so that it can take keys
    for (const type of MOUSE_EVENTS) {
      this.addEventListener(type, (event) => this.sendInput(type, event), { passive: type !== "contextmenu" });
    }
    for (const [type, name] of Object.entries(KEY_EVENTS)) {
      this.addEventListener(type, (event) => this.sendInput(name, event));
    }
  }

  sendInput(type, event) {
    if (!this.created) return;
    const box = this.getBoundingClientRect();
    const request = { op: "input", id: this.pageId, type };
    if ("clientX" in event) {
      request.x = Math.round(event.clientX - box.left);
      request.y = Math.round(event.clientY - box.top);
    }
    if (type === "mousedown" || type === "mouseup") request.button = event.button;
    this.bridge.send(request);
  }

  // A presented picture: drawn at the next animation frame, then the server
  // may send the next. A tab in the background runs no animation frames, so
  // it is sent nothing until it comes back.
  async frame(header, bytes) {
    this.stats.bytes += bytes.byteLength;
    const picture = await decodePicture(header, bytes);
    requestAnimationFrame(() => {
      this.draw(header, picture);
      if (this.pageId) this.bridge.send({ op: "drawn", id: this.pageId });
    });
  }

  draw(header, picture) {
    if (this.canvas.width !== header.width) this.canvas.width = header.width;
    if (this.canvas.height !== header.height) this.canvas.height = header.height;
    const context = this.canvas.getContext("2d");
    if (picture instanceof ImageData) context.putImageData(picture, 0, 0);
    else {
      context.drawImage(picture, 0, 0);
      picture.close();
    }
    if (this.stats.framesShown === 0) this.stats.firstPresented = header.n;
    this.stats.framesShown += 1;
    this.stats.lastPresented = header.n;
    this.dispatchEvent(new CustomEvent("framedrawn", { detail: header }));
  }
}

function decodePicture(header, bytes) {
  if (header.encoding === "rgba") {
    return Promise.resolve(new ImageData(new Uint8ClampedArray(bytes), header.width, header.height));
  }
  return createImageBitmap(new Blob([bytes], { type: "image/jpeg" }));
}

customElements.define("pp-plugin", PluginElement);

// A new plug-in element with these attributes, in this order, not yet in the
// document.
export function createPluginElement(attributes = {}) {
  const element = document.createElement("pp-plugin");
  for (const [name, value] of Object.entries(attributes)) element.setAttribute(name, value);
  return element;
}
