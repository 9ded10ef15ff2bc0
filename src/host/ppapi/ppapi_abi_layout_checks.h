#pragma once

/* Layout checks shared by the C and C++ check units: the number of entries of
   every interface table, and the slot of the entries a caller depends on.
   Included only by ppapi_abi_checks.cpp and ppapi_abi_checks_c.c. */

#include <stddef.h>

#include "host/ppapi/ppapi.h"

/* Every table entry is one function pointer. */
#define TWPP_SLOT(n) ((size_t)(n) * sizeof(void (*)(void)))
#define TWPP_CHECK_TABLE(type, entries) \
  TWPP_STATIC_ASSERT(sizeof(struct type) == TWPP_SLOT(entries), #type " entry count")
#define TWPP_CHECK_SLOT(type, member, slot) \
  TWPP_STATIC_ASSERT(offsetof(struct type, member) == TWPP_SLOT(slot), #type "." #member " slot")

TWPP_CHECK_TABLE(PPB_Core_1_0, 6);
TWPP_CHECK_SLOT(PPB_Core_1_0, AddRefResource, 0);
TWPP_CHECK_SLOT(PPB_Core_1_0, GetTime, 2);
TWPP_CHECK_SLOT(PPB_Core_1_0, GetTimeTicks, 3);
TWPP_CHECK_SLOT(PPB_Core_1_0, CallOnMainThread, 4);
TWPP_CHECK_SLOT(PPB_Core_1_0, IsMainThread, 5);

TWPP_CHECK_TABLE(PPB_Messaging_1_0, 1);
TWPP_CHECK_SLOT(PPB_Messaging_1_0, PostMessage, 0);

TWPP_CHECK_TABLE(PPB_Messaging_1_2, 3);
TWPP_CHECK_SLOT(PPB_Messaging_1_2, PostMessage, 0);
TWPP_CHECK_SLOT(PPB_Messaging_1_2, UnregisterMessageHandler, 2);

TWPP_CHECK_TABLE(PPB_Var_1_0, 4);
TWPP_CHECK_SLOT(PPB_Var_1_0, AddRef, 0);
TWPP_CHECK_SLOT(PPB_Var_1_0, VarFromUtf8, 2);
TWPP_CHECK_SLOT(PPB_Var_1_0, VarToUtf8, 3);

TWPP_CHECK_TABLE(PPB_Var_1_1, 4);
TWPP_CHECK_SLOT(PPB_Var_1_1, AddRef, 0);
TWPP_CHECK_SLOT(PPB_Var_1_1, VarFromUtf8, 2);
TWPP_CHECK_SLOT(PPB_Var_1_1, VarToUtf8, 3);

TWPP_CHECK_TABLE(PPB_Var_1_2, 6);
TWPP_CHECK_SLOT(PPB_Var_1_2, AddRef, 0);
TWPP_CHECK_SLOT(PPB_Var_1_2, VarToUtf8, 3);
TWPP_CHECK_SLOT(PPB_Var_1_2, VarFromResource, 5);

TWPP_CHECK_TABLE(PPB_VarDictionary_1_0, 6);
TWPP_CHECK_SLOT(PPB_VarDictionary_1_0, Create, 0);
TWPP_CHECK_SLOT(PPB_VarDictionary_1_0, Get, 1);
TWPP_CHECK_SLOT(PPB_VarDictionary_1_0, Set, 2);
TWPP_CHECK_SLOT(PPB_VarDictionary_1_0, GetKeys, 5);

TWPP_CHECK_TABLE(PPB_VarArray_1_0, 5);
TWPP_CHECK_SLOT(PPB_VarArray_1_0, Create, 0);
TWPP_CHECK_SLOT(PPB_VarArray_1_0, Get, 1);
TWPP_CHECK_SLOT(PPB_VarArray_1_0, GetLength, 3);
TWPP_CHECK_SLOT(PPB_VarArray_1_0, SetLength, 4);

TWPP_CHECK_TABLE(PPB_InputEvent_1_0, 7);
TWPP_CHECK_SLOT(PPB_InputEvent_1_0, RequestInputEvents, 0);
TWPP_CHECK_SLOT(PPB_InputEvent_1_0, GetType, 4);
TWPP_CHECK_SLOT(PPB_InputEvent_1_0, GetModifiers, 6);

TWPP_CHECK_TABLE(PPB_MouseInputEvent_1_0, 5);
TWPP_CHECK_SLOT(PPB_MouseInputEvent_1_0, Create, 0);
TWPP_CHECK_SLOT(PPB_MouseInputEvent_1_0, GetClickCount, 4);

TWPP_CHECK_TABLE(PPB_MouseInputEvent_1_1, 6);
TWPP_CHECK_SLOT(PPB_MouseInputEvent_1_1, Create, 0);
TWPP_CHECK_SLOT(PPB_MouseInputEvent_1_1, GetPosition, 3);
TWPP_CHECK_SLOT(PPB_MouseInputEvent_1_1, GetMovement, 5);

TWPP_CHECK_TABLE(PPB_WheelInputEvent_1_0, 5);
TWPP_CHECK_SLOT(PPB_WheelInputEvent_1_0, Create, 0);
TWPP_CHECK_SLOT(PPB_WheelInputEvent_1_0, GetScrollByPage, 4);

TWPP_CHECK_TABLE(PPB_KeyboardInputEvent_1_0, 4);
TWPP_CHECK_SLOT(PPB_KeyboardInputEvent_1_0, Create, 0);
TWPP_CHECK_SLOT(PPB_KeyboardInputEvent_1_0, GetCharacterText, 3);

TWPP_CHECK_TABLE(PPB_KeyboardInputEvent_1_2, 5);
TWPP_CHECK_SLOT(PPB_KeyboardInputEvent_1_2, Create, 0);
TWPP_CHECK_SLOT(PPB_KeyboardInputEvent_1_2, GetCode, 4);

TWPP_CHECK_TABLE(PPB_Instance_1_0, 2);
TWPP_CHECK_SLOT(PPB_Instance_1_0, BindGraphics, 0);
TWPP_CHECK_SLOT(PPB_Instance_1_0, IsFullFrame, 1);

TWPP_CHECK_TABLE(PPB_View_1_0, 6);
TWPP_CHECK_SLOT(PPB_View_1_0, IsView, 0);
TWPP_CHECK_SLOT(PPB_View_1_0, GetRect, 1);
TWPP_CHECK_SLOT(PPB_View_1_0, IsVisible, 3);
TWPP_CHECK_SLOT(PPB_View_1_0, GetClipRect, 5);

TWPP_CHECK_TABLE(PPB_View_1_1, 8);
TWPP_CHECK_SLOT(PPB_View_1_1, IsView, 0);
TWPP_CHECK_SLOT(PPB_View_1_1, GetDeviceScale, 6);
TWPP_CHECK_SLOT(PPB_View_1_1, GetCSSScale, 7);

TWPP_CHECK_TABLE(PPB_View_1_2, 9);
TWPP_CHECK_SLOT(PPB_View_1_2, IsView, 0);
TWPP_CHECK_SLOT(PPB_View_1_2, GetDeviceScale, 6);
TWPP_CHECK_SLOT(PPB_View_1_2, GetScrollOffset, 8);

TWPP_CHECK_TABLE(PPB_MouseCursor_1_0, 1);
TWPP_CHECK_SLOT(PPB_MouseCursor_1_0, SetCursor, 0);

TWPP_CHECK_TABLE(PPB_Graphics3D_1_0, 8);
TWPP_CHECK_SLOT(PPB_Graphics3D_1_0, GetAttribMaxValue, 0);
TWPP_CHECK_SLOT(PPB_Graphics3D_1_0, Create, 1);
TWPP_CHECK_SLOT(PPB_Graphics3D_1_0, ResizeBuffers, 6);
TWPP_CHECK_SLOT(PPB_Graphics3D_1_0, SwapBuffers, 7);

TWPP_CHECK_TABLE(PPB_OpenGLES2_1_0, 142);
TWPP_CHECK_SLOT(PPB_OpenGLES2_1_0, ActiveTexture, 0);
TWPP_CHECK_SLOT(PPB_OpenGLES2_1_0, Clear, 15);
TWPP_CHECK_SLOT(PPB_OpenGLES2_1_0, DrawArrays, 40);
TWPP_CHECK_SLOT(PPB_OpenGLES2_1_0, GetError, 60);
TWPP_CHECK_SLOT(PPB_OpenGLES2_1_0, TexImage2D, 105);
TWPP_CHECK_SLOT(PPB_OpenGLES2_1_0, TexSubImage2D, 110);
TWPP_CHECK_SLOT(PPB_OpenGLES2_1_0, Uniform1i, 113);
TWPP_CHECK_SLOT(PPB_OpenGLES2_1_0, UseProgram, 130);
TWPP_CHECK_SLOT(PPB_OpenGLES2_1_0, VertexAttribPointer, 140);
TWPP_CHECK_SLOT(PPB_OpenGLES2_1_0, Viewport, 141);

TWPP_CHECK_TABLE(PPB_OpenGLES2InstancedArrays_1_0, 3);
TWPP_CHECK_SLOT(PPB_OpenGLES2InstancedArrays_1_0, DrawArraysInstancedANGLE, 0);
TWPP_CHECK_SLOT(PPB_OpenGLES2InstancedArrays_1_0, VertexAttribDivisorANGLE, 2);

TWPP_CHECK_TABLE(PPB_OpenGLES2FramebufferBlit_1_0, 1);
TWPP_CHECK_SLOT(PPB_OpenGLES2FramebufferBlit_1_0, BlitFramebufferEXT, 0);

TWPP_CHECK_TABLE(PPB_OpenGLES2FramebufferMultisample_1_0, 1);
TWPP_CHECK_SLOT(PPB_OpenGLES2FramebufferMultisample_1_0, RenderbufferStorageMultisampleEXT, 0);

TWPP_CHECK_TABLE(PPB_OpenGLES2ChromiumEnableFeature_1_0, 1);
TWPP_CHECK_SLOT(PPB_OpenGLES2ChromiumEnableFeature_1_0, EnableFeatureCHROMIUM, 0);

TWPP_CHECK_TABLE(PPB_OpenGLES2ChromiumMapSub_1_0, 4);
TWPP_CHECK_SLOT(PPB_OpenGLES2ChromiumMapSub_1_0, MapBufferSubDataCHROMIUM, 0);
TWPP_CHECK_SLOT(PPB_OpenGLES2ChromiumMapSub_1_0, UnmapTexSubImage2DCHROMIUM, 3);

TWPP_CHECK_TABLE(PPB_OpenGLES2Query_1_0, 7);
TWPP_CHECK_SLOT(PPB_OpenGLES2Query_1_0, GenQueriesEXT, 0);
TWPP_CHECK_SLOT(PPB_OpenGLES2Query_1_0, GetQueryObjectuivEXT, 6);

TWPP_CHECK_TABLE(PPB_OpenGLES2VertexArrayObject_1_0, 4);
TWPP_CHECK_SLOT(PPB_OpenGLES2VertexArrayObject_1_0, GenVertexArraysOES, 0);
TWPP_CHECK_SLOT(PPB_OpenGLES2VertexArrayObject_1_0, BindVertexArrayOES, 3);

TWPP_CHECK_TABLE(PPB_OpenGLES2DrawBuffers_Dev_1_0, 1);
TWPP_CHECK_SLOT(PPB_OpenGLES2DrawBuffers_Dev_1_0, DrawBuffersEXT, 0);

TWPP_CHECK_TABLE(PPP_Instance_1_0, 5);
TWPP_CHECK_SLOT(PPP_Instance_1_0, DidCreate, 0);
TWPP_CHECK_SLOT(PPP_Instance_1_0, DidChangeView, 2);
TWPP_CHECK_SLOT(PPP_Instance_1_0, HandleDocumentLoad, 4);

TWPP_CHECK_TABLE(PPP_Instance_1_1, 5);
TWPP_CHECK_SLOT(PPP_Instance_1_1, DidCreate, 0);
TWPP_CHECK_SLOT(PPP_Instance_1_1, DidDestroy, 1);
TWPP_CHECK_SLOT(PPP_Instance_1_1, DidChangeView, 2);
TWPP_CHECK_SLOT(PPP_Instance_1_1, DidChangeFocus, 3);
TWPP_CHECK_SLOT(PPP_Instance_1_1, HandleDocumentLoad, 4);

TWPP_CHECK_TABLE(PPP_Messaging_1_0, 1);
TWPP_CHECK_SLOT(PPP_Messaging_1_0, HandleMessage, 0);

TWPP_CHECK_TABLE(PPP_MessageHandler_0_2, 3);
TWPP_CHECK_SLOT(PPP_MessageHandler_0_2, HandleMessage, 0);
TWPP_CHECK_SLOT(PPP_MessageHandler_0_2, HandleBlockingMessage, 1);
TWPP_CHECK_SLOT(PPP_MessageHandler_0_2, Destroy, 2);

TWPP_CHECK_TABLE(PPP_InputEvent_0_1, 1);
TWPP_CHECK_SLOT(PPP_InputEvent_0_1, HandleInputEvent, 0);

TWPP_CHECK_TABLE(PPP_Graphics3D_1_0, 1);
TWPP_CHECK_SLOT(PPP_Graphics3D_1_0, Graphics3DContextLost, 0);
