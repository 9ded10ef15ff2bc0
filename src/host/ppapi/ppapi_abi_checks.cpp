// Compile-time checks of the Pepper C ABI declarations, as seen from C++.
// Nothing here runs: the library only fails to build when a layout, value or
// interface name drifts from the public ABI.

#include <cstddef>
#include <type_traits>

#include "host/ppapi/ppapi.h"
#include "host/ppapi/ppapi_abi_layout_checks.h"

namespace {

constexpr bool SameText(const char* a, const char* b) { return *a == *b && (*a == '\0' || SameText(a + 1, b + 1)); }

// PP_Var: 4-byte type, 4 bytes of padding, 8-byte payload at offset 8.
static_assert(offsetof(PP_Var, type) == 0, "PP_Var.type offset");
static_assert(offsetof(PP_Var, padding) == 4, "PP_Var.padding offset");
static_assert(offsetof(PP_Var, value) == 8, "PP_Var.value offset");
static_assert(std::is_standard_layout<PP_Var>::value, "PP_Var layout");

// PP_Rect: point then size.
static_assert(offsetof(PP_Rect, point) == 0 && offsetof(PP_Rect, size) == 8, "PP_Rect layout");

// PP_CompletionCallback: two pointers then a 32-bit flags word, padded to
// pointer alignment (24 bytes on 64-bit, 12 on 32-bit).
static_assert(offsetof(PP_CompletionCallback, func) == 0, "PP_CompletionCallback.func offset");
static_assert(offsetof(PP_CompletionCallback, user_data) == sizeof(void*), "PP_CompletionCallback.user_data offset");
static_assert(offsetof(PP_CompletionCallback, flags) == 2 * sizeof(void*), "PP_CompletionCallback.flags offset");
static_assert(sizeof(PP_CompletionCallback) == 3 * sizeof(void*), "PP_CompletionCallback size");
static_assert(std::is_same<decltype(PP_CompletionCallback::flags), int32_t>::value, "flags is int32_t");

// Enums passed by value must be 4 bytes.
static_assert(sizeof(PP_Bool) == 4 && sizeof(PP_VarType) == 4 && sizeof(PP_InputEvent_Type) == 4 &&
                  sizeof(PP_InputEvent_MouseButton) == 4 && sizeof(PP_MouseCursor_Type) == 4 &&
                  sizeof(PP_Graphics3DAttrib) == 4 && sizeof(PP_CompletionCallback_Flag) == 4,
              "enum sizes");

// Values the module and the host exchange.
static_assert(PP_FALSE == 0 && PP_TRUE == 1, "PP_Bool values");
static_assert(PP_VARTYPE_UNDEFINED == 0 && PP_VARTYPE_NULL == 1 && PP_VARTYPE_BOOL == 2 && PP_VARTYPE_INT32 == 3 &&
                  PP_VARTYPE_DOUBLE == 4 && PP_VARTYPE_STRING == 5 && PP_VARTYPE_OBJECT == 6 && PP_VARTYPE_ARRAY == 7 &&
                  PP_VARTYPE_DICTIONARY == 8 && PP_VARTYPE_ARRAY_BUFFER == 9 && PP_VARTYPE_RESOURCE == 10,
              "PP_VarType values");
static_assert(PP_OK == 0 && PP_OK_COMPLETIONPENDING == -1 && PP_ERROR_FAILED == -2 && PP_ERROR_ABORTED == -3 &&
                  PP_ERROR_BADARGUMENT == -4 && PP_ERROR_BADRESOURCE == -5 && PP_ERROR_NOINTERFACE == -6 &&
                  PP_ERROR_NOTSUPPORTED == -12 && PP_ERROR_CONTEXT_LOST == -50 && PP_ERROR_WRONG_THREAD == -52,
              "result codes");
static_assert(PP_COMPLETIONCALLBACK_FLAG_NONE == 0 && PP_COMPLETIONCALLBACK_FLAG_OPTIONAL == 1, "callback flags");
static_assert(PP_INPUTEVENT_TYPE_UNDEFINED == -1 && PP_INPUTEVENT_TYPE_MOUSEDOWN == 0 &&
                  PP_INPUTEVENT_TYPE_MOUSEUP == 1 && PP_INPUTEVENT_TYPE_MOUSEMOVE == 2 &&
                  PP_INPUTEVENT_TYPE_MOUSEENTER == 3 && PP_INPUTEVENT_TYPE_MOUSELEAVE == 4 &&
                  PP_INPUTEVENT_TYPE_WHEEL == 5 && PP_INPUTEVENT_TYPE_RAWKEYDOWN == 6 &&
                  PP_INPUTEVENT_TYPE_KEYDOWN == 7 && PP_INPUTEVENT_TYPE_KEYUP == 8 && PP_INPUTEVENT_TYPE_CHAR == 9 &&
                  PP_INPUTEVENT_TYPE_CONTEXTMENU == 10 && PP_INPUTEVENT_TYPE_TOUCHCANCEL == 18,
              "PP_InputEvent_Type values");
static_assert(PP_INPUTEVENT_CLASS_MOUSE == 1 && PP_INPUTEVENT_CLASS_KEYBOARD == 2 && PP_INPUTEVENT_CLASS_WHEEL == 4 &&
                  PP_INPUTEVENT_CLASS_TOUCH == 8 && PP_INPUTEVENT_CLASS_IME == 16 &&
                  PP_INPUTEVENT_CLASS_COALESCED_TOUCH == 32,
              "PP_InputEvent_Class values");
static_assert(PP_INPUTEVENT_MOUSEBUTTON_NONE == -1 && PP_INPUTEVENT_MOUSEBUTTON_LEFT == 0 &&
                  PP_INPUTEVENT_MOUSEBUTTON_MIDDLE == 1 && PP_INPUTEVENT_MOUSEBUTTON_RIGHT == 2,
              "PP_InputEvent_MouseButton values");
static_assert(PP_INPUTEVENT_MODIFIER_SHIFTKEY == 1 && PP_INPUTEVENT_MODIFIER_LEFTBUTTONDOWN == 64 &&
                  PP_INPUTEVENT_MODIFIER_ISERASER == (1 << 14),
              "PP_InputEvent_Modifier values");
static_assert(PP_MOUSECURSOR_TYPE_CUSTOM == -1 && PP_MOUSECURSOR_TYPE_POINTER == 0 && PP_MOUSECURSOR_TYPE_HAND == 2 &&
                  PP_MOUSECURSOR_TYPE_NONE == 37 && PP_MOUSECURSOR_TYPE_GRABBING == 42 &&
                  PP_MOUSECURSOR_TYPE_MIDDLEPANNINGHORIZONTAL == 44,
              "PP_MouseCursor_Type values");
static_assert(PP_GRAPHICS3DATTRIB_ALPHA_SIZE == 0x3021 && PP_GRAPHICS3DATTRIB_DEPTH_SIZE == 0x3025 &&
                  PP_GRAPHICS3DATTRIB_STENCIL_SIZE == 0x3026 && PP_GRAPHICS3DATTRIB_SAMPLES == 0x3031 &&
                  PP_GRAPHICS3DATTRIB_SAMPLE_BUFFERS == 0x3032 && PP_GRAPHICS3DATTRIB_NONE == 0x3038 &&
                  PP_GRAPHICS3DATTRIB_HEIGHT == 0x3056 && PP_GRAPHICS3DATTRIB_WIDTH == 0x3057 &&
                  PP_GRAPHICS3DATTRIB_SWAP_BEHAVIOR == 0x3093 && PP_GRAPHICS3DATTRIB_BUFFER_PRESERVED == 0x3094 &&
                  PP_GRAPHICS3DATTRIB_BUFFER_DESTROYED == 0x3095 && PP_GRAPHICS3DATTRIB_SINGLE_BUFFER == 0x3085 &&
                  PP_GRAPHICS3DATTRIB_GPU_PREFERENCE == 0x11000,
              "PP_Graphics3DAttrib values");

// Interface names, exactly as hosts spell them.
static_assert(SameText(PPB_CORE_INTERFACE_1_0, "PPB_Core;1.0"), "PPB_Core name");
static_assert(SameText(PPB_MESSAGING_INTERFACE_1_0, "PPB_Messaging;1.0"), "PPB_Messaging 1.0 name");
static_assert(SameText(PPB_MESSAGING_INTERFACE_1_2, "PPB_Messaging;1.2"), "PPB_Messaging 1.2 name");
static_assert(SameText(PPB_VAR_INTERFACE_1_0, "PPB_Var;1.0"), "PPB_Var 1.0 name");
static_assert(SameText(PPB_VAR_INTERFACE_1_1, "PPB_Var;1.1"), "PPB_Var 1.1 name");
static_assert(SameText(PPB_VAR_INTERFACE_1_2, "PPB_Var;1.2"), "PPB_Var 1.2 name");
static_assert(SameText(PPB_VAR_DICTIONARY_INTERFACE_1_0, "PPB_VarDictionary;1.0"), "PPB_VarDictionary name");
static_assert(SameText(PPB_VAR_ARRAY_INTERFACE_1_0, "PPB_VarArray;1.0"), "PPB_VarArray name");
static_assert(SameText(PPB_INPUT_EVENT_INTERFACE_1_0, "PPB_InputEvent;1.0"), "PPB_InputEvent name");
static_assert(SameText(PPB_MOUSE_INPUT_EVENT_INTERFACE_1_1, "PPB_MouseInputEvent;1.1"), "PPB_MouseInputEvent name");
static_assert(SameText(PPB_WHEEL_INPUT_EVENT_INTERFACE_1_0, "PPB_WheelInputEvent;1.0"), "PPB_WheelInputEvent name");
static_assert(SameText(PPB_KEYBOARD_INPUT_EVENT_INTERFACE_1_2, "PPB_KeyboardInputEvent;1.2"),
              "PPB_KeyboardInputEvent name");
static_assert(SameText(PPB_INSTANCE_INTERFACE_1_0, "PPB_Instance;1.0"), "PPB_Instance name");
static_assert(SameText(PPB_VIEW_INTERFACE_1_0, "PPB_View;1.0"), "PPB_View 1.0 name");
static_assert(SameText(PPB_VIEW_INTERFACE_1_1, "PPB_View;1.1"), "PPB_View 1.1 name");
static_assert(SameText(PPB_VIEW_INTERFACE_1_2, "PPB_View;1.2"), "PPB_View 1.2 name");
static_assert(SameText(PPB_MOUSECURSOR_INTERFACE_1_0, "PPB_MouseCursor;1.0"), "PPB_MouseCursor name");
static_assert(SameText(PPB_GRAPHICS_3D_INTERFACE_1_0, "PPB_Graphics3D;1.0"), "PPB_Graphics3D name");
static_assert(SameText(PPB_OPENGLES2_INTERFACE_1_0, "PPB_OpenGLES2;1.0"), "PPB_OpenGLES2 name");
static_assert(SameText(PPB_OPENGLES2_INSTANCEDARRAYS_INTERFACE_1_0, "PPB_OpenGLES2InstancedArrays;1.0"),
              "PPB_OpenGLES2InstancedArrays name");
static_assert(SameText(PPB_OPENGLES2_FRAMEBUFFERBLIT_INTERFACE_1_0, "PPB_OpenGLES2FramebufferBlit;1.0"),
              "PPB_OpenGLES2FramebufferBlit name");
static_assert(SameText(PPB_OPENGLES2_FRAMEBUFFERMULTISAMPLE_INTERFACE_1_0, "PPB_OpenGLES2FramebufferMultisample;1.0"),
              "PPB_OpenGLES2FramebufferMultisample name");
static_assert(SameText(PPB_OPENGLES2_CHROMIUMENABLEFEATURE_INTERFACE_1_0, "PPB_OpenGLES2ChromiumEnableFeature;1.0"),
              "PPB_OpenGLES2ChromiumEnableFeature name");
static_assert(SameText(PPB_OPENGLES2_CHROMIUMMAPSUB_INTERFACE_1_0, "PPB_OpenGLES2ChromiumMapSub;1.0"),
              "PPB_OpenGLES2ChromiumMapSub name");
static_assert(SameText(PPB_OPENGLES2_QUERY_INTERFACE_1_0, "PPB_OpenGLES2Query;1.0"), "PPB_OpenGLES2Query name");
static_assert(SameText(PPB_OPENGLES2_VERTEXARRAYOBJECT_INTERFACE_1_0, "PPB_OpenGLES2VertexArrayObject;1.0"),
              "PPB_OpenGLES2VertexArrayObject name");
static_assert(SameText(PPB_OPENGLES2_DRAWBUFFERS_DEV_INTERFACE_1_0, "PPB_OpenGLES2DrawBuffers(Dev);1.0"),
              "PPB_OpenGLES2DrawBuffers(Dev) name");
static_assert(SameText(PPP_INSTANCE_INTERFACE_1_1, "PPP_Instance;1.1"), "PPP_Instance name");
static_assert(SameText(PPP_MESSAGING_INTERFACE_1_0, "PPP_Messaging;1.0"), "PPP_Messaging name");
static_assert(SameText(PPP_INPUT_EVENT_INTERFACE_0_1, "PPP_InputEvent;0.1"), "PPP_InputEvent name");
static_assert(SameText(PPP_GRAPHICS_3D_INTERFACE_1_0, "PPP_Graphics_3D;1.0"), "PPP_Graphics_3D name");

// The entry points have the types a host calls them through.
static_assert(std::is_same<decltype(&PPP_InitializeModule), PP_InitializeModule_Func>::value, "PPP_InitializeModule");
static_assert(std::is_same<decltype(&PPP_ShutdownModule), PP_ShutdownModule_Func>::value, "PPP_ShutdownModule");
static_assert(std::is_same<decltype(&PPP_GetInterface), PP_GetInterface_Func>::value, "PPP_GetInterface");

}  // namespace
