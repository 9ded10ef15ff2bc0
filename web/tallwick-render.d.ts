// Types of the page client, tallwick-render.js: its names, and the data of
// every command, reply and event. A page project that installed the client
// (`npm install <checkout>/web`) gets them with `import ... from "tallwick-render"`.
//
// A client's role is a type parameter, "controller", "single" or "gallery",
// as the element's attributes make it (RoleAttributes). It narrows the
// commands the client takes, their data and their replies' data, and the
// events it gets:
//
//   const gallery = new TallwickClient<"gallery">(element);
//   gallery.request(Commands.UPDATE_MULTI_INFOS, { renderInfos: tiles });
//
// Without it, a client takes what any role takes. Every data key is optional,
// as on the wire: a missing key reads as its default (docs/page-protocol.md
// gives each key's default). The interfaces of this file describe data on the
// wire and nothing else: every property is a name the module has, which a
// test holds them to.

// --- names ------------------------------------------------------------------

export type Role = "controller" | "single" | "gallery";

export type CommandName =
  | "INIT" | "RESET" | "GET_PID" | "SET_PROCESS_TITLE" | "SET_FRAME_INFO_INTERVAL" | "SET_MEETING_INFO"
  | "DO_UPDATE_SHARED_MEMORY" | "GET_SHARED_MEMORY_DIFFS" | "START_RENDER" | "STOP_RENDER" | "HIDE_CURSOR"
  | "SHOW_CURSOR" | "RESET_SHOOM" | "GET_FRAME_COUNT" | "CLEAR_BUFFER" | "3D_CONTEXT_LOST" | "UPDATE_MULTI_INFOS";

export type EventName =
  | "INSTANCE_LOADED" | "MOUSE_UP" | "ERROR" | "PONG" | "RENDER_STARTED" | "RENDER_STOPPED" | "NEED_RESIZE"
  | "RENDER_FRAME_STATUS_CHANGE" | "MULTI_FRAME_STATUS_CHANGE" | "MULTI_RENDER_STARTED";

export type StreamKind = "CAMERA" | "SCREEN" | "LOCAL_SCREEN" | "PREVIEW" | "MERGE";
export type FrameStatus = "NORMAL_FRAME" | "NO_FRAME";

export declare const Commands: { readonly [C in CommandName]: C };
export declare const Events: { readonly [E in EventName]: E };
export declare const StreamKinds: { readonly [K in StreamKind]: K };
export declare const FrameStatuses: { readonly [S in FrameStatus]: S };
export declare const RoleAttributes: { readonly CONTROLLER: "data-controller"; readonly MULTI: "data-multi" };
export declare const ShareMemoryOps: { readonly ADD: 0; readonly REMOVE: 1; readonly CLEAR: 2 };
export type ShareMemoryOp = (typeof ShareMemoryOps)[keyof typeof ShareMemoryOps];

export declare const ErrorCodes: {
  readonly NONE: 0;
  readonly RESET: 1;
  readonly UPDATE_SHARE_MEMORY: 2;
  readonly INVALID_COMMAND: 3;
  readonly INSTANCE_TYPE_MISMATCH: 4;
  readonly SHARE_MEMORY_NOT_FOUND: 5;
  readonly RENDERING_STARTED: 6;
  readonly RENDERING_STOPPED: 7;
  readonly ALREADY_INITED: 8;
  readonly NOT_INITED: 9;
  readonly SET_CURSOR: 10;
  readonly START_RENDER: 11;
  readonly STOP_RENDER: 12;
  readonly OPEN_SHOOM: 13;
  readonly RESIZE_BUFFER: 14;
  readonly COMPILE_SHADER: 15;
  readonly LINK_SHADER: 16;
  readonly BIND_GRAPHICS: 17;
  readonly INIT_PPAPI: 18;
  readonly INIT_TEXTURE: 19;
  readonly CONTEXT_LOST: 20;
  readonly UNKNOWN21: 21;
  readonly FRAME_DATA_NULL: 22;
  readonly FRAME_UPDATING: 23;
  readonly FRAME_UNDRAWABLE: 24;
};
export type ErrorCode = (typeof ErrorCodes)[keyof typeof ErrorCodes];
export declare const ErrorTexts: readonly string[];
// The text of a code; "unknown" for a code without one.
export declare function errorText(code: number): string;

// The commands each role has; any other command answers error 3.
export declare const RoleCommands: { readonly [R in Role]: readonly CommandOf<R>[] };
// The role an element's attributes give its instance; undefined for a target
// without attributes.
export declare function roleOf(element: unknown): Role | undefined;

// --- data of the controller's commands ----------------------------------------

// Data of a command that reads none: any key is refused.
export type NoData = Record<string, never>;
// Data of a reply or event that has none: there is no key to read.
export type EmptyData = Record<never, never>;

export interface ControllerInitData {
  logPath?: string;
  logVersion?: number;
  crashHandlerPath?: string;
}

export interface ProcessTitleData {
  title?: string;
}

export interface MeetingInfoData {
  selfUid?: string;
  selfSid?: string;
}

export interface ShareMemoryUpdateData {
  op?: ShareMemoryOp;
  diffs?: ShareMemoryRecord[];
}

// A segment as the media process published it.
export interface ShareMemoryRecord {
  path?: string;
  uid?: string;
  sid?: string;
  bufferSize?: number;
  bufferNumber?: number;
  isScreen?: boolean;
  isMerge?: boolean;
  // 0 I420, 1 RGBA (not drawn: the record is skipped), 2 NV12.
  frameFormat?: number;
}

export interface PidData {
  pid: number;
}

// A stored record, in GET_SHARED_MEMORY_DIFFS's reply (keyed by sid).
export interface RegisteredSegment {
  path: string;
  uid: string;
  sid: string;
  bufferSize: number;
  bufferNumber: number;
  isScreen: boolean;
  isMerge: boolean;
}

export interface ControllerRequests {
  INIT: ControllerInitData;
  RESET: NoData;
  GET_PID: NoData;
  SET_PROCESS_TITLE: ProcessTitleData;
  SET_FRAME_INFO_INTERVAL: NoData;
  SET_MEETING_INFO: MeetingInfoData;
  DO_UPDATE_SHARED_MEMORY: ShareMemoryUpdateData;
  GET_SHARED_MEMORY_DIFFS: NoData;
}

// Replies with data; every other reply's data is empty.
export interface ControllerReplies {
  GET_PID: PidData;
  GET_SHARED_MEMORY_DIFFS: Record<string, RegisteredSegment>;
}

// --- data of the render elements' commands ------------------------------------

// Red, green, blue, alpha, each 0.0 to 1.0.
export type Rgba = readonly [number, number, number, number];
// A colour as a page holds it: four numbers, or an array of numbers whose
// length is only known at run time (a number[]). An array literal of another
// length than four is refused: its first element makes it a tuple, which
// only Rgba takes. The module reads anything but four numbers as no colour
// (docs/page-protocol.md); the client's debug mode warns of it.
export type Colour = Rgba | (readonly number[] & { readonly 0?: never });

// Options both render roles read at INIT.
export interface RenderInitData {
  fps?: number;
  renderExceptionThreshold?: number;
  dpr?: number;
  uuid?: string;
  logPath?: string;
  logVersion?: number;
  enableHighPerformanceGPU?: boolean;
  enablePPAPIRedExt?: boolean;
}

export interface SingleStreamInitData extends RenderInitData {
  uid?: string;
  sid?: string;
  isScreen?: boolean;
  isMerge?: boolean;
  isPreview?: boolean;
  isLocalScreen?: boolean;
  isSelf?: boolean;
}

export interface GalleryInitData extends RenderInitData {
  backgroundColor?: Colour;
}

export interface CursorData {
  // The browser's cursor type, -1 to 42 (0 the arrow, 37 none).
  cursorType?: number;
}

export interface StreamKeyData {
  stream_key?: string;
}

export interface MultiInfosData {
  renderInfos?: TileInfo[];
}

// One tile of a gallery's layout.
export interface TileInfo {
  userId?: string;
  streamId?: string;
  streamType?: StreamKind;
  isSelf?: boolean;
  renderConfig?: RenderConfig;
}

// Where and how a tile is drawn, in CSS pixels from the element's top left.
export interface RenderConfig {
  left?: number;
  top?: number;
  width?: number;
  height?: number;
  // 1 crops the picture to the tile; any other value fits it inside.
  renderMode?: number;
  backgroundColor?: Colour;
  isMirror?: boolean;
}

// One entry of GET_FRAME_COUNT's reply, keyed by stream key ("u7_CAMERA").
export interface FrameCountEntry {
  width: number;
  height: number;
  viewWidth: number;
  viewHeight: number;
  frameCount: number;
  timestamp: number;
}

export interface SingleStreamRequests {
  INIT: SingleStreamInitData;
  RESET: NoData;
  START_RENDER: NoData;
  STOP_RENDER: NoData;
  HIDE_CURSOR: NoData;
  SHOW_CURSOR: CursorData;
  RESET_SHOOM: StreamKeyData;
  GET_FRAME_COUNT: NoData;
  CLEAR_BUFFER: NoData;
  "3D_CONTEXT_LOST": NoData;
}

export interface GalleryRequests {
  INIT: GalleryInitData;
  START_RENDER: NoData;
  STOP_RENDER: NoData;
  HIDE_CURSOR: NoData;
  SHOW_CURSOR: NoData;
  RESET_SHOOM: StreamKeyData;
  GET_FRAME_COUNT: NoData;
  UPDATE_MULTI_INFOS: MultiInfosData;
}

export interface RenderReplies {
  GET_FRAME_COUNT: Record<string, FrameCountEntry>;
}

// --- data of the events ---------------------------------------------------------

export interface ErrorEventData {
  errorCode: number;
  // With 24 ("frame cannot be drawn"): the stream whose frames cannot be drawn.
  streamId?: string;
}

export interface NeedResizeData {
  width: number;
  height: number;
  planS0: number;
  planS1: number;
  planS2: number;
  rotation: number;
  frameId: number;
  flip: boolean;
}

export interface FrameStatusData {
  streamId: string;
  userId: string;
  frameStatus: FrameStatus;
}

export interface MultiRenderStartedData {
  streamId: string;
  userId: string;
  isScreen: boolean;
}

export interface EventData {
  INSTANCE_LOADED: EmptyData;
  MOUSE_UP: EmptyData;
  ERROR: ErrorEventData;
  PONG: EmptyData;
  RENDER_STARTED: EmptyData;
  RENDER_STOPPED: EmptyData;
  NEED_RESIZE: NeedResizeData;
  RENDER_FRAME_STATUS_CHANGE: FrameStatusData;
  MULTI_FRAME_STATUS_CHANGE: FrameStatusData;
  MULTI_RENDER_STARTED: MultiRenderStartedData;
}

// --- per role ---------------------------------------------------------------------

type RenderElementEvent = "INSTANCE_LOADED" | "MOUSE_UP" | "ERROR" | "PONG" | "RENDER_STARTED" | "RENDER_STOPPED";

export type RoleRequests = { controller: ControllerRequests; single: SingleStreamRequests; gallery: GalleryRequests };
export type RoleReplies = { controller: ControllerReplies; single: RenderReplies; gallery: RenderReplies };
export type RoleEvents = {
  controller: "INSTANCE_LOADED";
  single: RenderElementEvent | "NEED_RESIZE" | "RENDER_FRAME_STATUS_CHANGE";
  gallery: RenderElementEvent | "MULTI_RENDER_STARTED" | "MULTI_FRAME_STATUS_CHANGE";
};

// Each of these spreads over a union of roles.
export type CommandOf<R extends Role> = R extends Role ? keyof RoleRequests[R] & CommandName : never;
export type RequestData<R extends Role, C extends CommandName> = R extends Role
  ? C extends keyof RoleRequests[R] ? RoleRequests[R][C] : never
  : never;
export type ReplyData<R extends Role, C extends CommandName> = R extends Role
  ? C extends keyof RoleReplies[R] ? RoleReplies[R][C] : EmptyData
  : never;
export type EventOf<R extends Role> = R extends Role ? RoleEvents[R] : never;

// --- the client ---------------------------------------------------------------------

// What the client needs of an element: events, and a postMessage that it
// looks up when it sends. A <pp-plugin> of plugin-element.js has one; so has
// anything else with the plug-in element's interface.
export type TallwickElement = EventTarget & { postMessage(message: unknown): void; readonly id?: string };
// The elements a client takes: those, or a real plug-in <embed> of the
// module's type. lib.dom's HTMLEmbedElement has no postMessage because the
// browser adds one only to an element it has made a plug-in for (never before
// the element is in the document); until the element has one, the client
// holds requests and sends them with its first message (INSTANCE_LOADED).
export type ClientElement = TallwickElement | HTMLEmbedElement;

// debug: warn on the console, once per cause, of commands the module does
// nothing useful with in the element's state. timeout: milliseconds a
// request waits for its reply before it rejects with a TallwickTimeoutError;
// 0 (the default) waits for ever.
export type ClientOptions = { debug?: boolean; timeout?: number };
// timeout: this request's, instead of the client's.
export type RequestOptions = { timeout?: number };

// A reply as a request's promise gives it: custom is the page's own again.
export interface Reply<C extends CommandName = CommandName, D = unknown, T = unknown> {
  response: C;
  error: 0;
  data: D;
  custom: T;
}

// The reply in a TallwickError.
export interface FailedReply {
  response: unknown;
  error: number;
  data: EmptyData;
  custom: unknown;
}

// An event as the element posted it.
export interface EventMessage<E extends EventName = EventName> {
  command: E;
  data?: EventData[E];
}

// The DOM event an element gets for a module event E: `detail` is its data.
export type TallwickEvent<E extends EventName = EventName> = CustomEvent<EventData[E]>;

export declare class TallwickError extends Error {
  constructor(reply: FailedReply);
  readonly code: number;
  readonly text: string;
  readonly reply: FailedReply;
}

// A request whose reply did not come within its timeout.
export declare class TallwickTimeoutError extends Error {
  constructor(command: unknown, timeout: number, sent: boolean);
  readonly command: unknown;
  readonly timeout: number;
}

export declare class TallwickClient<R extends Role = Role> {
  constructor(element: ClientElement, options?: ClientOptions);
  readonly element: ClientElement;
  debug: boolean;
  timeout: number;
  // Resolves to the reply when its error is 0, else rejects with a
  // TallwickError, or with a TallwickTimeoutError when a timeout passed.
  request<C extends CommandOf<R>, T = undefined>(
    command: C,
    data?: RequestData<R, C>,
    custom?: T,
    options?: RequestOptions,
  ): Promise<Reply<C, ReplyData<R, C>, T>>;
  // Returns a function that stops the callback.
  on<E extends EventOf<R>>(name: E, callback: (data: EventData[E], message: EventMessage<E>) => void): () => void;
  once<E extends EventOf<R>>(name: E): Promise<EventData[E]>;
  close(): void;
}
