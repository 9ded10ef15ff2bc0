// Runs in every page of tallwick-shell before the page's own scripts, in the
// page's world. It gives the page `window.tallwickShell`:
//
//   tallwickShell.page            this page's number (from 1)
//   tallwickShell.report(object)  one output line; `kind` is required.
//                                 {kind: "done"} ends the run;
//                                 {kind: "fail", text} makes its status 1.
//   tallwickShell.sent(element, message)
//                                 a "sent" line for a message the page is
//                                 about to post to a plug-in element
//
// and reports, on the page's behalf:
//   "page-error"   an uncaught exception or promise rejection, a script that
//                  does not parse, a script or module that cannot be loaded;
//   "created", "post", "destroyed"
//                  for every plug-in element of the module's type (<embed> or
//                  <object>, on its own or inside a <pp-plugin>): its first
//                  message, every message it posts, its leaving the page.
// What a page sends with an <embed>'s own postMessage cannot be seen from
// here: the browser lets no script wrap or replace it. The page library and
// the page client report what they send with `sent`.
(() => {
  const PAGE = Number("__TALLWICK_PAGE__");
  const PREFIX = "__TALLWICK_PREFIX__";
  const MIME = "application/x-tallwick-render";
  // Kept from the start: a page that replaces console.log still reports.
  const log = console.log.bind(console);
  const report = (object) => log(PREFIX + JSON.stringify(object));

  // After idOf, which `sent` uses.
  const publish = () =>
    Object.defineProperty(window, "tallwickShell", {
      value: Object.freeze({ page: PAGE, report, sent: (element, msg) => report({ kind: "sent", id: idOf(element), msg }) }),
      enumerable: false,
    });

  // --- Page errors -------------------------------------------------------

  function describe(reason) {
    if (reason instanceof Error) return `${reason.name}: ${reason.message}`;
    try {
      return typeof reason === "string" ? reason : JSON.stringify(reason);
    } catch {
      return String(reason);
    }
  }

  // Capturing, so that a script element's own (non-bubbling) load error
  // comes here too.
  window.addEventListener(
    "error",
    (event) => {
      if (event instanceof ErrorEvent) {
        report({ kind: "page-error", text: event.message, source: event.filename, line: event.lineno });
        return;
      }
      const target = event.target;
      if (target instanceof HTMLScriptElement) {
        const what = target.type === "module" ? "module script" : "script";
        report({ kind: "page-error", text: `cannot load the ${what}`, source: target.src });
      }
    },
    true,
  );
  window.addEventListener("unhandledrejection", (event) => {
    report({ kind: "page-error", text: `Uncaught (in promise) ${describe(event.reason)}` });
  });

  // --- Plug-in elements ----------------------------------------------------

  const isPlugin = (node) =>
    (node instanceof HTMLEmbedElement || node instanceof HTMLObjectElement) && node.type === MIME;

  // An element's name in the lines: its id, else its <pp-plugin>'s, else one
  // of its own, kept for its life.
  const ids = new WeakMap();
  let unnamed = 0;
  function idOf(element) {
    if (!ids.has(element)) {
      const holder = element.parentElement;
      ids.set(element, element.id || (holder && holder.pageId) || `embed${++unnamed}`);
    }
    return ids.get(element);
  }

  publish();

  const live = new Set();
  const removals = new MutationObserver(() => {
    for (const element of live) {
      if (element.isConnected) continue;
      live.delete(element);
      report({ kind: "destroyed", id: idOf(element) });
    }
    if (live.size === 0) removals.disconnect();
  });

  // A plug-in's messages are dispatched on its element and do not bubble;
  // a capturing listener on the window still sees each one first.
  window.addEventListener(
    "message",
    (event) => {
      const element = event.target;
      if (!isPlugin(element)) return;
      const id = idOf(element);
      if (!live.has(element)) {
        if (live.size === 0) removals.observe(document, { childList: true, subtree: true });
        live.add(element);
        report({ kind: "created", id });
      }
      report({ kind: "post", id, msg: event.data });
    },
    true,
  );
})();
