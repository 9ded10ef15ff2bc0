// A page of a project that installed the page client with npm: it imports the
// client and the page library by package name, posts through a real <embed>
// and a <pp-plugin>, and holds its colours in number[]. The one misuse below
// shows that the package's types are the ones in force.
import { createPluginElement } from "tallwick-render/plugin-element.js";
import { Commands, Events, TallwickClient, TallwickTimeoutError } from "tallwick-render";

export async function showSpeaker(embed: HTMLEmbedElement, background: number[]) {
  const speaker = new TallwickClient<"single">(embed, { debug: true, timeout: 5000 });
  speaker.on(Events.NEED_RESIZE, ({ width, height }) => (embed.style.aspectRatio = `${width} / ${height}`));
  await speaker.request(Commands.INIT, { uid: "u7", sid: "s7", fps: 30, renderExceptionThreshold: 2000, dpr: 1 });
  await speaker.request(Commands.START_RENDER);

  const gallery = new TallwickClient<"gallery">(document.body.appendChild(createPluginElement({ "data-multi": "" })));
  try {
    await gallery.request(Commands.INIT, { fps: 30, dpr: 1, backgroundColor: background }, undefined, { timeout: 1000 });
  } catch (error) {
    if (error instanceof TallwickTimeoutError) return error.command;
  }
  // @ts-expect-error: a gallery has no CLEAR_BUFFER
  await gallery.request(Commands.CLEAR_BUFFER);
  return undefined;
}
