#pragma once

#include <string>
#include <vector>

#include "devhost/entry_points.h"
#include "host/ppapi/pp_types.h"

// A small plug-in for the host's tests, written against the Pepper C ABI. It
// answers page messages by their "command":
//   TIMER {delay, post}     CallOnMainThread; when it fires, posts {"command": post, "ms": monotonic ms}
//   TIME                    posts {"command": "TIME", "ticks_ms", "wall_ms"}
//   REQUEST {classes, filtering}  asks for input classes; posts {"command": "REQUESTED", "result"}
//   CLEAR {classes}         clears input requests
//   CURSOR {type}           SetCursor; posts {"command": "CURSOR", "ok"}
//   KEEP                    keeps a reference to the message (a leak until RELEASE)
//   LEAK_STRING             makes a string var and never releases it
//   KEEP_VIEW               keeps a reference to the next view resource
//   RELEASE                 releases everything kept
//   LOG {text}              writes a line through the log library (tag "FAKE", level 3)
// and, on one 3D context per instance:
//   CONTEXT {width, height, alpha, depth}  creates it; posts {"command": "CONTEXT", "ok", "is3d"}
//   BIND {of, none}         BindGraphics of its own context (of instance `of`; 0 with none); posts BIND {ok}
//   FILL {r, g, b, a, x, y, w, h}  clears framebuffer 0, scissored when w > 0
//   QUAD {r, g, b, a}       draws a full-viewport quad with a shader; posts QUAD {linked, error}
//   SWAP                    SwapBuffers; posts SWAP {result}, then SWAPPED {result} when it completes
//   RESIZE {width, height}  ResizeBuffers; posts RESIZE {result}
//   RED {sub}               uploads a GL_RED texture; posts RED {error}
//   FBO                     binds a framebuffer of its own, then 0; posts FBO {own, zero}
//   ERRORS                  posts ERRORS {gl, context}: the GL and the context error
//   LEAK_CONTEXT            keeps the context past DidDestroy; DROP_CONTEXT releases it now
//   anything else           is posted back unchanged
// It also posts CREATED {attrs}, VIEW {rect, visible, scale, clip}, INPUT
// {type, x, y, button, modifiers} (handling only mouse-up), DESTROYED and LOST.
// An attribute named "refuse" makes DidCreate fail.
namespace fake_plugin {

pphost::EntryPoints EntryPoints();

// PPP_InitializeModule answers PP_ERROR_FAILED while this is set.
void SetFailInitialize(bool fail);

struct Record {
  std::vector<std::string> aborted;    // `post` names of timers run with PP_ERROR_ABORTED, in order
  std::vector<PP_Instance> destroyed;  // DidDestroy order
  bool shutDown = false;
  bool instancesGoneBeforeAborts = false;  // every instance was destroyed when the first abort ran
};

// What the fake saw since the last PPP_InitializeModule.
const Record& Seen();

}  // namespace fake_plugin
