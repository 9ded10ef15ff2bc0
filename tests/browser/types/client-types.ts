// What the page client's declarations let through and what they refuse:
// each @ts-expect-error line must fail to compile, or tsc reports the
// directive as unused.
import {
  Commands,
  ErrorCodes,
  Events,
  TallwickClient,
  TallwickError,
  TallwickTimeoutError,
  errorText,
  type Colour,
  type CommandName,
  type EventName,
  type TallwickElement,
} from "../../../web/tallwick-render.js";
import type { PluginElement } from "../../../web/plugin-element.js";

declare const element: TallwickElement;
const controller = new TallwickClient<"controller">(element);
const speaker = new TallwickClient<"single">(element);
const gallery = new TallwickClient<"gallery">(element);
const any = new TallwickClient(element);

export async function commands() {
  // Each role takes its own commands, with its own data.
  await speaker.request(Commands.INIT, { uid: "u1", sid: "s1", fps: 30, isPreview: false, dpr: 1.5 });
  await gallery.request(Commands.INIT, { fps: 30, backgroundColor: [0, 0, 0, 1] });
  await speaker.request(Commands["3D_CONTEXT_LOST"]);
  await any.request(Commands.CLEAR_BUFFER);
  // @ts-expect-error: a gallery has no CLEAR_BUFFER
  await gallery.request(Commands.CLEAR_BUFFER);
  // @ts-expect-error: the controller does not render
  await controller.request(Commands.START_RENDER);
  // @ts-expect-error: not a command
  await any.request("START");
  // @ts-expect-error: fps is a number
  await speaker.request(Commands.INIT, { fps: "30" });
  // @ts-expect-error: a misspelt key
  await speaker.request(Commands.INIT, { renderExceptionTreshold: 2000 });
  // @ts-expect-error: uid is the single stream's, not the gallery's
  await gallery.request(Commands.INIT, { uid: "u1" });
  // @ts-expect-error: a background is four numbers
  await gallery.request(Commands.INIT, { backgroundColor: [0, 0, 0] });
  // @ts-expect-error: a background is four numbers, not five
  await gallery.request(Commands.INIT, { backgroundColor: [0, 0, 0, 1, 1] });
  // @ts-expect-error: a colour's parts are numbers
  await gallery.request(Commands.INIT, { backgroundColor: ["0", 0, 0, 1] });
  // @ts-expect-error: GET_PID reads no data
  await controller.request(Commands.GET_PID, { pid: 1 });
  // @ts-expect-error: op is 0, 1 or 2
  await controller.request(Commands.DO_UPDATE_SHARED_MEMORY, { op: 5, diffs: [] });
  await gallery.request(Commands.UPDATE_MULTI_INFOS, {
    // @ts-expect-error: a tile's place is numbers
    renderInfos: [{ userId: "u1", renderConfig: { left: "0" } }],
  });
}

export async function replies() {
  const pid: number = (await controller.request(Commands.GET_PID)).data.pid;
  const diffs = (await controller.request(Commands.GET_SHARED_MEMORY_DIFFS)).data;
  const path: string = diffs["s1"]!.path;
  const counts = (await gallery.request(Commands.GET_FRAME_COUNT)).data;
  const frames: number = counts["u1_CAMERA"]!.frameCount;
  // The page's custom comes back with its own type.
  const tagged = await speaker.request(Commands.RESET, {}, { uuid: "r-1", attempt: 2 });
  const attempt: number = tagged.custom.attempt;
  const untagged = await speaker.request(Commands.RESET);
  const nothing: undefined = untagged.custom;
  const response: "RESET" = tagged.response;
  // @ts-expect-error: pid is a number
  const wrong: string = (await controller.request(Commands.GET_PID)).data.pid;
  // @ts-expect-error: a reply without data has none
  (await speaker.request(Commands.START_RENDER)).data.frameCount;
  return [pid, path, frames, attempt, nothing, response, wrong];
}

export function events() {
  speaker.on(Events.NEED_RESIZE, ({ width, height, flip }) => [width * height, flip]);
  speaker.on(Events.RENDER_FRAME_STATUS_CHANGE, (data, message) => [data.frameStatus === "NO_FRAME", message.command]);
  gallery.on(Events.MULTI_RENDER_STARTED, ({ userId, isScreen }) => [userId.length, isScreen]);
  any.on(Events.ERROR, ({ errorCode }) => errorText(errorCode));
  const off: () => void = controller.on(Events.INSTANCE_LOADED, () => {});
  off();
  // @ts-expect-error: the controller posts no PONG
  controller.on(Events.PONG, () => {});
  // @ts-expect-error: a single-stream element posts no tile events
  speaker.on(Events.MULTI_RENDER_STARTED, () => {});
  // @ts-expect-error: width is a number
  speaker.on(Events.NEED_RESIZE, ({ width }) => width.toUpperCase());
  // @ts-expect-error: frameStatus is NORMAL_FRAME or NO_FRAME
  speaker.on(Events.RENDER_FRAME_STATUS_CHANGE, ({ frameStatus }) => frameStatus === "FROZEN");
  // @ts-expect-error: not an event
  any.on("PING", () => {});
}

export function names() {
  const command: CommandName = Commands.UPDATE_MULTI_INFOS;
  const event: EventName = Events.MULTI_FRAME_STATUS_CHANGE;
  const code: 7 = ErrorCodes.RENDERING_STOPPED;
  // @ts-expect-error: no such code
  ErrorCodes.RENDERING_PAUSED;
  return [command, event, code];
}

export function failures(error: unknown) {
  if (error instanceof TallwickError) return [error.code, error.text, error.reply.response];
  return [];
}

// The elements a page has: a real <embed>, a <pp-plugin> (PluginElement), or
// one found in the document; other elements are refused.
export async function elements(pluginElement: PluginElement) {
  const embed = document.createElement("embed");
  embed.type = "application/x-tallwick-render";
  const onEmbed = new TallwickClient<"single">(embed, { debug: true });
  await onEmbed.request(Commands.INIT, { uid: "u1", fps: 30, dpr: devicePixelRatio });
  const found = document.querySelector("embed");
  if (found) new TallwickClient(found).close();
  const onPlugin = new TallwickClient<"controller">(pluginElement, { timeout: 5000 });
  onPlugin.timeout = 0;
  onPlugin.debug = true;
  // @ts-expect-error: a <div> cannot post to a plug-in
  new TallwickClient(document.createElement("div"));
  // @ts-expect-error: nor can an <iframe>
  new TallwickClient(document.createElement("iframe"));
  // @ts-expect-error: timeout is milliseconds
  new TallwickClient(embed, { timeout: "5s" });
  // @ts-expect-error: a misspelt option
  new TallwickClient(embed, { debugging: true });
  return [onEmbed.element, onPlugin.element];
}

// Colours as a page computes them: number[] without `as const`.
export async function colours(theme: { background: number[] }, parts: Float32Array) {
  const red: number[] = [1, 0, 0, 1];
  await gallery.request(Commands.INIT, { backgroundColor: red });
  await gallery.request(Commands.INIT, { backgroundColor: theme.background });
  await gallery.request(Commands.INIT, { backgroundColor: Array.from(parts) });
  const held: Colour = [0, 0, 0, 0.5];
  await gallery.request(Commands.UPDATE_MULTI_INFOS, {
    renderInfos: [{ userId: "u1", renderConfig: { left: 0, backgroundColor: red } }, { renderConfig: { backgroundColor: held } }],
  });
  const names: string[] = ["black"];
  // @ts-expect-error: a colour is numbers
  await gallery.request(Commands.INIT, { backgroundColor: names });
  // @ts-expect-error: a tuple of three is not a colour
  await gallery.request(Commands.INIT, { backgroundColor: [0, 0, 0] as [number, number, number] });
}

// Timeouts: per request, and the error that names the command.
export async function timeouts() {
  const reply = await controller.request(Commands.GET_PID, {}, undefined, { timeout: 2000 });
  const tagged = await speaker.request(Commands.RESET, {}, { uuid: "r-2" }, { timeout: 100 });
  // @ts-expect-error: a request's options hold only its timeout
  await speaker.request(Commands.RESET, {}, undefined, { debug: true });
  try {
    await speaker.request(Commands.GET_FRAME_COUNT);
  } catch (error) {
    if (error instanceof TallwickTimeoutError) return [error.command, error.timeout];
  }
  return [reply.data.pid, tagged.custom.uuid];
}
