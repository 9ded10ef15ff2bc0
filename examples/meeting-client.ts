// A meeting page's script in TypeScript, on the page client: a controller
// that answers the handshake and registers the media process's segments, a
// speaker that shows one user and follows its frame size, and a gallery of
// everyone, with the events a page usually acts on. Compile it with the page
// (any bundler, or tsc); the tests type-check it against tallwick-render.d.ts.
// It imports the page client from this checkout's web/; a page project that
// installed the package imports "tallwick-render" and
// "tallwick-render/plugin-element.js" instead.
import { createPluginElement } from "../web/plugin-element.js";
import {
  Commands,
  ErrorCodes,
  Events,
  FrameStatuses,
  RoleAttributes,
  ShareMemoryOps,
  StreamKinds,
  TallwickClient,
  TallwickError,
  type ShareMemoryRecord,
  type TallwickEvent,
  type TileInfo,
} from "../web/tallwick-render.js";

const kInit = { logPath: "", logVersion: 1 };
const kRender = { ...kInit, fps: 30, renderExceptionThreshold: 2000, dpr: devicePixelRatio };

export async function startMeeting(root: HTMLElement, segments: ShareMemoryRecord[], selfUid: string) {
  const element = root.appendChild(createPluginElement({ [RoleAttributes.CONTROLLER]: "" }));
  const controller = new TallwickClient<"controller">(element);
  await controller.once(Events.INSTANCE_LOADED);
  await controller.request(Commands.INIT, { ...kInit, crashHandlerPath: "" });
  await controller.request(Commands.SET_MEETING_INFO, { selfUid, selfSid: `${selfUid}-s` });
  await controller.request(Commands.DO_UPDATE_SHARED_MEMORY, { op: ShareMemoryOps.ADD, diffs: segments });
  const { data: registered } = await controller.request(Commands.GET_SHARED_MEMORY_DIFFS);
  const cameras = Object.values(registered).filter((segment) => !segment.isScreen);

  const speaker = await startSpeaker(root, cameras[0].uid, cameras[0].sid);
  const gallery = await startGallery(root, cameras.map((c, i) => tile(c.uid, c.sid, i)));
  return { controller, speaker, gallery };
}

async function startSpeaker(root: HTMLElement, uid: string, sid: string) {
  const element = root.appendChild(createPluginElement());
  const speaker = new TallwickClient<"single">(element);
  speaker.on(Events.NEED_RESIZE, ({ width, height, rotation }) => {
    element.style.aspectRatio = rotation % 180 === 0 ? `${width} / ${height}` : `${height} / ${width}`;
  });
  speaker.on(Events.RENDER_FRAME_STATUS_CHANGE, ({ frameStatus }) => {
    element.classList.toggle("no-video", frameStatus === FrameStatuses.NO_FRAME);
  });
  // The same events arrive as DOM events on the element.
  element.addEventListener(Events.ERROR, ((event: TallwickEvent<"ERROR">) => {
    if (event.detail.errorCode === ErrorCodes.CONTEXT_LOST) element.remove();
  }) as EventListener);

  await speaker.request(Commands.INIT, { ...kRender, uid, sid, uuid: "speaker" }, { uuid: `speaker-${uid}` });
  element.style.width = "640px"; // its size after its INIT
  element.style.height = "360px";
  await speaker.request(Commands.START_RENDER);
  return speaker;
}

async function startGallery(root: HTMLElement, tiles: TileInfo[]) {
  const element = root.appendChild(createPluginElement({ [RoleAttributes.MULTI]: "" }));
  const gallery = new TallwickClient<"gallery">(element);
  gallery.on(Events.MULTI_RENDER_STARTED, ({ userId, isScreen }) => console.log(`${userId} shown`, isScreen));
  await gallery.request(Commands.INIT, { ...kRender, uuid: "gallery", backgroundColor: [0, 0, 0, 1] });
  element.style.width = "960px";
  element.style.height = "540px";
  await gallery.request(Commands.UPDATE_MULTI_INFOS, { renderInfos: tiles });
  try {
    await gallery.request(Commands.START_RENDER);
  } catch (error) {
    // Already rendering is no failure for this page.
    if (!(error instanceof TallwickError && error.code === ErrorCodes.RENDERING_STARTED)) throw error;
  }
  const { data: counts } = await gallery.request(Commands.GET_FRAME_COUNT);
  for (const [streamKey, { frameCount, width, height }] of Object.entries(counts)) {
    console.log(`${streamKey}: ${frameCount} drawings, frames ${width}x${height}`);
  }
  return gallery;
}

// Three tiles to a row of a 960x540 gallery, each picture cropped to its tile.
function tile(userId: string, streamId: string, index: number): TileInfo {
  const [width, height] = [320, 180];
  return {
    userId,
    streamId,
    streamType: StreamKinds.CAMERA,
    renderConfig: { left: (index % 3) * width, top: Math.floor(index / 3) * height, width, height, renderMode: 1 },
  };
}
