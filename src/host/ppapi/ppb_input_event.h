#pragma once

/* "PPB_InputEvent" and the per-class event interfaces: asking for input
   events and reading (or, for a host or a test, creating) them. */

#include "host/ppapi/pp_types.h"

#define PPB_INPUT_EVENT_INTERFACE_1_0 "PPB_InputEvent;1.0"
#define PPB_INPUT_EVENT_INTERFACE PPB_INPUT_EVENT_INTERFACE_1_0

#define PPB_MOUSE_INPUT_EVENT_INTERFACE_1_0 "PPB_MouseInputEvent;1.0"
#define PPB_MOUSE_INPUT_EVENT_INTERFACE_1_1 "PPB_MouseInputEvent;1.1"
#define PPB_MOUSE_INPUT_EVENT_INTERFACE PPB_MOUSE_INPUT_EVENT_INTERFACE_1_1

#define PPB_WHEEL_INPUT_EVENT_INTERFACE_1_0 "PPB_WheelInputEvent;1.0"
#define PPB_WHEEL_INPUT_EVENT_INTERFACE PPB_WHEEL_INPUT_EVENT_INTERFACE_1_0

#define PPB_KEYBOARD_INPUT_EVENT_INTERFACE_1_0 "PPB_KeyboardInputEvent;1.0"
#define PPB_KEYBOARD_INPUT_EVENT_INTERFACE_1_2 "PPB_KeyboardInputEvent;1.2"
#define PPB_KEYBOARD_INPUT_EVENT_INTERFACE PPB_KEYBOARD_INPUT_EVENT_INTERFACE_1_2

/* Kind of an input event resource. The numbers are part of the ABI. */
typedef enum {
  PP_INPUTEVENT_TYPE_UNDEFINED = -1,
  PP_INPUTEVENT_TYPE_FIRST = PP_INPUTEVENT_TYPE_UNDEFINED,
  /* Mouse class. */
  PP_INPUTEVENT_TYPE_MOUSEDOWN = 0,
  PP_INPUTEVENT_TYPE_MOUSEUP = 1,
  PP_INPUTEVENT_TYPE_MOUSEMOVE = 2,
  PP_INPUTEVENT_TYPE_MOUSEENTER = 3,
  PP_INPUTEVENT_TYPE_MOUSELEAVE = 4,
  /* Wheel class. */
  PP_INPUTEVENT_TYPE_WHEEL = 5,
  /* Keyboard class. */
  PP_INPUTEVENT_TYPE_RAWKEYDOWN = 6,
  PP_INPUTEVENT_TYPE_KEYDOWN = 7,
  PP_INPUTEVENT_TYPE_KEYUP = 8,
  PP_INPUTEVENT_TYPE_CHAR = 9,
  /* Mouse class. */
  PP_INPUTEVENT_TYPE_CONTEXTMENU = 10,
  /* IME class. */
  PP_INPUTEVENT_TYPE_IME_COMPOSITION_START = 11,
  PP_INPUTEVENT_TYPE_IME_COMPOSITION_UPDATE = 12,
  PP_INPUTEVENT_TYPE_IME_COMPOSITION_END = 13,
  PP_INPUTEVENT_TYPE_IME_TEXT = 14,
  /* Touch class. */
  PP_INPUTEVENT_TYPE_TOUCHSTART = 15,
  PP_INPUTEVENT_TYPE_TOUCHMOVE = 16,
  PP_INPUTEVENT_TYPE_TOUCHEND = 17,
  PP_INPUTEVENT_TYPE_TOUCHCANCEL = 18,
  PP_INPUTEVENT_TYPE_LAST = PP_INPUTEVENT_TYPE_TOUCHCANCEL
} PP_InputEvent_Type;

/* Bits of GetModifiers(). */
typedef enum {
  PP_INPUTEVENT_MODIFIER_SHIFTKEY = 1 << 0,
  PP_INPUTEVENT_MODIFIER_CONTROLKEY = 1 << 1,
  PP_INPUTEVENT_MODIFIER_ALTKEY = 1 << 2,
  PP_INPUTEVENT_MODIFIER_METAKEY = 1 << 3,
  PP_INPUTEVENT_MODIFIER_ISKEYPAD = 1 << 4,
  PP_INPUTEVENT_MODIFIER_ISAUTOREPEAT = 1 << 5,
  PP_INPUTEVENT_MODIFIER_LEFTBUTTONDOWN = 1 << 6,
  PP_INPUTEVENT_MODIFIER_MIDDLEBUTTONDOWN = 1 << 7,
  PP_INPUTEVENT_MODIFIER_RIGHTBUTTONDOWN = 1 << 8,
  PP_INPUTEVENT_MODIFIER_CAPSLOCKKEY = 1 << 9,
  PP_INPUTEVENT_MODIFIER_NUMLOCKKEY = 1 << 10,
  PP_INPUTEVENT_MODIFIER_ISLEFT = 1 << 11,
  PP_INPUTEVENT_MODIFIER_ISRIGHT = 1 << 12,
  PP_INPUTEVENT_MODIFIER_ISPEN = 1 << 13,
  PP_INPUTEVENT_MODIFIER_ISERASER = 1 << 14
} PP_InputEvent_Modifier;

/* The button of a mouse down or up event; NONE for other events. */
typedef enum {
  PP_INPUTEVENT_MOUSEBUTTON_NONE = -1,
  PP_INPUTEVENT_MOUSEBUTTON_FIRST = PP_INPUTEVENT_MOUSEBUTTON_NONE,
  PP_INPUTEVENT_MOUSEBUTTON_LEFT = 0,
  PP_INPUTEVENT_MOUSEBUTTON_MIDDLE = 1,
  PP_INPUTEVENT_MOUSEBUTTON_RIGHT = 2,
  PP_INPUTEVENT_MOUSEBUTTON_LAST = PP_INPUTEVENT_MOUSEBUTTON_RIGHT
} PP_InputEvent_MouseButton;

/* Bits for RequestInputEvents and friends. */
typedef enum {
  PP_INPUTEVENT_CLASS_MOUSE = 1 << 0,
  PP_INPUTEVENT_CLASS_KEYBOARD = 1 << 1,
  PP_INPUTEVENT_CLASS_WHEEL = 1 << 2,
  PP_INPUTEVENT_CLASS_TOUCH = 1 << 3,
  PP_INPUTEVENT_CLASS_IME = 1 << 4,
  PP_INPUTEVENT_CLASS_COALESCED_TOUCH = 1 << 5
} PP_InputEvent_Class;

TWPP_STATIC_ASSERT(sizeof(PP_InputEvent_Type) == 4, "PP_InputEvent_Type must be 4 bytes");
TWPP_STATIC_ASSERT(sizeof(PP_InputEvent_Modifier) == 4, "PP_InputEvent_Modifier must be 4 bytes");
TWPP_STATIC_ASSERT(sizeof(PP_InputEvent_MouseButton) == 4, "PP_InputEvent_MouseButton must be 4 bytes");
TWPP_STATIC_ASSERT(sizeof(PP_InputEvent_Class) == 4, "PP_InputEvent_Class must be 4 bytes");

struct PPB_InputEvent_1_0 {
  /* Delivers the classes (PP_InputEvent_Class bits) unfiltered; PP_OK,
     PP_ERROR_BADARGUMENT or PP_ERROR_NOTSUPPORTED for unknown bits. */
  int32_t(PP_CALL* RequestInputEvents)(PP_Instance instance, uint32_t event_classes);
  /* Delivers the classes for filtering: an unhandled event goes on to the
     page. */
  int32_t(PP_CALL* RequestFilteringInputEvents)(PP_Instance instance, uint32_t event_classes);
  void(PP_CALL* ClearInputEventRequest)(PP_Instance instance, uint32_t event_classes);
  PP_Bool(PP_CALL* IsInputEvent)(PP_Resource resource);
  PP_InputEvent_Type(PP_CALL* GetType)(PP_Resource event);
  PP_TimeTicks(PP_CALL* GetTimeStamp)(PP_Resource event);
  /* PP_InputEvent_Modifier bits. */
  uint32_t(PP_CALL* GetModifiers)(PP_Resource event);
};

typedef struct PPB_InputEvent_1_0 PPB_InputEvent;

struct PPB_MouseInputEvent_1_0 {
  PP_Resource(PP_CALL* Create)(PP_Instance instance, PP_InputEvent_Type type, PP_TimeTicks time_stamp,
                               uint32_t modifiers, PP_InputEvent_MouseButton mouse_button,
                               const struct PP_Point* mouse_position, int32_t click_count);
  PP_Bool(PP_CALL* IsMouseInputEvent)(PP_Resource resource);
  PP_InputEvent_MouseButton(PP_CALL* GetButton)(PP_Resource mouse_event);
  struct PP_Point(PP_CALL* GetPosition)(PP_Resource mouse_event);
  int32_t(PP_CALL* GetClickCount)(PP_Resource mouse_event);
};

/* 1.1 adds the movement since the previous event (to Create as well). */
struct PPB_MouseInputEvent_1_1 {
  PP_Resource(PP_CALL* Create)(PP_Instance instance, PP_InputEvent_Type type, PP_TimeTicks time_stamp,
                               uint32_t modifiers, PP_InputEvent_MouseButton mouse_button,
                               const struct PP_Point* mouse_position, int32_t click_count,
                               const struct PP_Point* mouse_movement);
  PP_Bool(PP_CALL* IsMouseInputEvent)(PP_Resource resource);
  PP_InputEvent_MouseButton(PP_CALL* GetButton)(PP_Resource mouse_event);
  /* Relative to the instance's upper-left corner. */
  struct PP_Point(PP_CALL* GetPosition)(PP_Resource mouse_event);
  int32_t(PP_CALL* GetClickCount)(PP_Resource mouse_event);
  struct PP_Point(PP_CALL* GetMovement)(PP_Resource mouse_event);
};

typedef struct PPB_MouseInputEvent_1_1 PPB_MouseInputEvent;

struct PPB_WheelInputEvent_1_0 {
  PP_Resource(PP_CALL* Create)(PP_Instance instance, PP_TimeTicks time_stamp, uint32_t modifiers,
                               const struct PP_FloatPoint* wheel_delta, const struct PP_FloatPoint* wheel_ticks,
                               PP_Bool scroll_by_page);
  PP_Bool(PP_CALL* IsWheelInputEvent)(PP_Resource resource);
  struct PP_FloatPoint(PP_CALL* GetDelta)(PP_Resource wheel_event);
  struct PP_FloatPoint(PP_CALL* GetTicks)(PP_Resource wheel_event);
  PP_Bool(PP_CALL* GetScrollByPage)(PP_Resource wheel_event);
};

typedef struct PPB_WheelInputEvent_1_0 PPB_WheelInputEvent;

struct PPB_KeyboardInputEvent_1_0 {
  PP_Resource(PP_CALL* Create)(PP_Instance instance, PP_InputEvent_Type type, PP_TimeTicks time_stamp,
                               uint32_t modifiers, uint32_t key_code, struct PP_Var character_text);
  PP_Bool(PP_CALL* IsKeyboardInputEvent)(PP_Resource resource);
  uint32_t(PP_CALL* GetKeyCode)(PP_Resource key_event);
  struct PP_Var(PP_CALL* GetCharacterText)(PP_Resource character_event);
};

/* 1.2 adds the DOM "code" string of the physical key (to Create as well). */
struct PPB_KeyboardInputEvent_1_2 {
  PP_Resource(PP_CALL* Create)(PP_Instance instance, PP_InputEvent_Type type, PP_TimeTicks time_stamp,
                               uint32_t modifiers, uint32_t key_code, struct PP_Var character_text, struct PP_Var code);
  PP_Bool(PP_CALL* IsKeyboardInputEvent)(PP_Resource resource);
  /* Windows-style virtual key code, as DOM keyCode. */
  uint32_t(PP_CALL* GetKeyCode)(PP_Resource key_event);
  /* A string var for character events, undefined otherwise. */
  struct PP_Var(PP_CALL* GetCharacterText)(PP_Resource character_event);
  struct PP_Var(PP_CALL* GetCode)(PP_Resource key_event);
};

typedef struct PPB_KeyboardInputEvent_1_2 PPB_KeyboardInputEvent;
