// "PPB_InputEvent;1.0" and "PPB_MouseInputEvent;1.1": which event classes an
// instance asked for, and reading the event resources.
#include "devhost/browser/browser_context.h"
#include "devhost/browser/browser_interfaces.h"
#include "devhost/browser/input_event_class.h"

namespace pphost {

namespace {

constexpr uint32_t kKnownClasses = PP_INPUTEVENT_CLASS_MOUSE | PP_INPUTEVENT_CLASS_KEYBOARD |
                                   PP_INPUTEVENT_CLASS_WHEEL | PP_INPUTEVENT_CLASS_TOUCH | PP_INPUTEVENT_CLASS_IME |
                                   PP_INPUTEVENT_CLASS_COALESCED_TOUCH;

InstanceRecord* RecordOf(PP_Instance instance) {
  BrowserContext* browser = ActiveBrowser();
  return browser != nullptr ? browser->instances.Find(instance) : nullptr;
}

const InputEventData* EventOf(PP_Resource resource) {
  BrowserContext* browser = ActiveBrowser();
  return browser != nullptr ? browser->resources.Get<InputEventData>(resource) : nullptr;
}

const InputEventData* MouseEventOf(PP_Resource resource) {
  const InputEventData* event = EventOf(resource);
  return event != nullptr && ClassOf(event->type) == PP_INPUTEVENT_CLASS_MOUSE ? event : nullptr;
}

// A class asked for one way stops being asked for the other way.
int32_t Request(PP_Instance instance, uint32_t classes, bool filtering) {
  InstanceRecord* record = RecordOf(instance);
  if (record == nullptr) return PP_ERROR_BADARGUMENT;
  const uint32_t known = classes & kKnownClasses;
  uint32_t& add = filtering ? record->filteringClasses : record->unfilteredClasses;
  uint32_t& remove = filtering ? record->unfilteredClasses : record->filteringClasses;
  add |= known;
  remove &= ~known;
  return known == classes ? PP_OK : PP_ERROR_NOTSUPPORTED;
}

int32_t RequestInputEvents(PP_Instance instance, uint32_t classes) { return Request(instance, classes, false); }

int32_t RequestFilteringInputEvents(PP_Instance instance, uint32_t classes) { return Request(instance, classes, true); }

void ClearInputEventRequest(PP_Instance instance, uint32_t classes) {
  if (InstanceRecord* record = RecordOf(instance)) {
    record->unfilteredClasses &= ~classes;
    record->filteringClasses &= ~classes;
  }
}

PP_Bool IsInputEvent(PP_Resource resource) { return PP_FromBool(EventOf(resource) != nullptr); }

PP_InputEvent_Type GetType(PP_Resource event) {
  const InputEventData* data = EventOf(event);
  return data != nullptr ? data->type : PP_INPUTEVENT_TYPE_UNDEFINED;
}

PP_TimeTicks GetTimeStamp(PP_Resource event) {
  const InputEventData* data = EventOf(event);
  return data != nullptr ? data->timeStamp : 0.0;
}

uint32_t GetModifiers(PP_Resource event) {
  const InputEventData* data = EventOf(event);
  return data != nullptr ? data->modifiers : 0;
}

PP_Resource CreateMouseEvent(PP_Instance instance, PP_InputEvent_Type type, PP_TimeTicks timeStamp, uint32_t modifiers,
                             PP_InputEvent_MouseButton button, const PP_Point* position, int32_t clickCount,
                             const PP_Point* movement) {
  BrowserContext* browser = ActiveBrowser();
  if (browser == nullptr || browser->instances.Find(instance) == nullptr ||
      ClassOf(type) != PP_INPUTEVENT_CLASS_MOUSE) {
    return 0;
  }
  const InputEventData data{type,
                            timeStamp,
                            modifiers,
                            button,
                            position != nullptr ? *position : PP_MakePoint(0, 0),
                            clickCount,
                            movement != nullptr ? *movement : PP_MakePoint(0, 0)};
  return browser->resources.Create(instance, data);
}

PP_Bool IsMouseInputEvent(PP_Resource resource) { return PP_FromBool(MouseEventOf(resource) != nullptr); }

PP_InputEvent_MouseButton GetButton(PP_Resource event) {
  const InputEventData* data = MouseEventOf(event);
  return data != nullptr ? data->button : PP_INPUTEVENT_MOUSEBUTTON_NONE;
}

PP_Point GetPosition(PP_Resource event) {
  const InputEventData* data = MouseEventOf(event);
  return data != nullptr ? data->position : PP_MakePoint(0, 0);
}

int32_t GetClickCount(PP_Resource event) {
  const InputEventData* data = MouseEventOf(event);
  return data != nullptr ? data->clickCount : 0;
}

PP_Point GetMovement(PP_Resource event) {
  const InputEventData* data = MouseEventOf(event);
  return data != nullptr ? data->movement : PP_MakePoint(0, 0);
}

constexpr PPB_InputEvent_1_0 kInputEvent = {
    &RequestInputEvents, &RequestFilteringInputEvents, &ClearInputEventRequest, &IsInputEvent, &GetType, &GetTimeStamp,
    &GetModifiers};
constexpr PPB_MouseInputEvent_1_1 kMouseInputEvent = {&CreateMouseEvent, &IsMouseInputEvent, &GetButton,
                                                      &GetPosition,      &GetClickCount,     &GetMovement};

}  // namespace

const PPB_InputEvent_1_0* InputEventInterface() { return &kInputEvent; }
const PPB_MouseInputEvent_1_1* MouseInputEventInterface() { return &kMouseInputEvent; }

}  // namespace pphost
