#pragma once

#include <cstdint>

#include "host/input_event.h"
#include "host/var.h"
#include "host/view.h"

namespace pp {

class Graphics3D;

// One plug-in element. The browser creates it through the module, calls
// Init once, then the virtual handlers on the main thread until it destroys
// it. Overriding a handler is how a plug-in reacts to the browser.
class Instance {
 public:
  explicit Instance(PP_Instance instance) : pp_instance_(instance) {}
  virtual ~Instance() = default;

  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  PP_Instance pp_instance() const { return pp_instance_; }

  virtual bool Init(uint32_t argc, const char* argn[], const char* argv[]);
  virtual void DidChangeView(const PP_Rect& position, const PP_Rect& clip);
  // The default passes the view's rectangle to the rectangle form.
  virtual void DidChangeView(const View& view);
  virtual void DidChangeFocus(bool hasFocus);
  virtual bool HandleInputEvent(const InputEvent& event);
  virtual bool HandleDocumentLoad(PP_Resource urlLoader);
  virtual void HandleMessage(const Var& message);

  // Browser services for this instance; each is a no-op with a neutral
  // answer when the browser lacks the interface.
  void PostMessage(const Var& message);
  bool BindGraphics(PP_Resource graphics);
  int32_t RequestInputEvents(uint32_t eventClasses);
  int32_t RequestFilteringInputEvents(uint32_t eventClasses);
  void ClearInputEventRequest(uint32_t eventClasses);

 private:
  PP_Instance pp_instance_;
};

}  // namespace pp
