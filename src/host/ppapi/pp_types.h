#pragma once

/*
 * Basic types of the Pepper (PPAPI) C ABI: handles, times, geometry, vars,
 * completion callbacks, result codes and the browser's get-interface
 * function. Every other header in this folder builds on this one.
 *
 * These are our own declarations of the public ABI. Layouts, enum values and
 * member orders must stay exactly as the public API has them: a host built
 * against the public headers passes these structures across the boundary.
 *
 * Usable from C (C11 for the size checks) and C++.
 */

#include <stdint.h>

/*
 * Calling convention of every function pointer in the Pepper C ABI. The
 * public API uses the compiler's default convention on every platform,
 * 32-bit Windows included (cdecl there; the GLES2 table does not take
 * GL_APIENTRY / __stdcall either), so this is empty everywhere. It marks
 * each declaration so that this fact is stated in one place.
 */
#define PP_CALL

/* Inline helpers: plain `inline` in C++, internal inline functions in C. */
#if defined(__cplusplus)
#define PP_INLINE inline
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 199901L
#define PP_INLINE static inline
#elif defined(_MSC_VER)
#define PP_INLINE static __inline
#else
#define PP_INLINE static __inline__
#endif

/* Compile-time layout checks, active in C++ and in C11 or later. */
#if defined(__cplusplus)
#define TWPP_STATIC_ASSERT(cond, what) static_assert(cond, what)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define TWPP_STATIC_ASSERT(cond, what) _Static_assert(cond, what)
#else
#define TWPP_STATIC_ASSERT(cond, what)
#endif

/* Pepper's boolean: always 4 bytes, unlike C++ bool or C _Bool. */
typedef enum { PP_FALSE = 0, PP_TRUE = 1 } PP_Bool;
TWPP_STATIC_ASSERT(sizeof(PP_Bool) == 4, "PP_Bool must be 4 bytes");

#if defined(__cplusplus)
inline PP_Bool PP_FromBool(bool b) { return b ? PP_TRUE : PP_FALSE; }
inline bool PP_ToBool(PP_Bool b) { return b != PP_FALSE; }
#endif

/* Opaque handles chosen by the browser; 0 never names a live object. */
typedef int32_t PP_Instance;
typedef int32_t PP_Module;
typedef int32_t PP_Resource;

/* Wall clock, in seconds since 1970-01-01 00:00 UTC. */
typedef double PP_Time;
/* Monotonic clock, in seconds from an arbitrary origin. */
typedef double PP_TimeTicks;
/* A duration in seconds. */
typedef double PP_TimeDelta;

struct PP_Point {
  int32_t x;
  int32_t y;
};

struct PP_FloatPoint {
  float x;
  float y;
};

struct PP_Size {
  int32_t width;
  int32_t height;
};

struct PP_FloatSize {
  float width;
  float height;
};

/* Upper-left corner and extent. */
struct PP_Rect {
  struct PP_Point point;
  struct PP_Size size;
};

struct PP_FloatRect {
  struct PP_FloatPoint point;
  struct PP_FloatSize size;
};

PP_INLINE struct PP_Point PP_MakePoint(int32_t x, int32_t y) {
  struct PP_Point p;
  p.x = x;
  p.y = y;
  return p;
}

PP_INLINE struct PP_Size PP_MakeSize(int32_t width, int32_t height) {
  struct PP_Size s;
  s.width = width;
  s.height = height;
  return s;
}

PP_INLINE struct PP_Rect PP_MakeRectFromXYWH(int32_t x, int32_t y, int32_t width, int32_t height) {
  struct PP_Rect r;
  r.point.x = x;
  r.point.y = y;
  r.size.width = width;
  r.size.height = height;
  return r;
}

/* What a PP_Var holds. The numbers are part of the ABI. */
typedef enum {
  PP_VARTYPE_UNDEFINED = 0,
  PP_VARTYPE_NULL = 1,
  PP_VARTYPE_BOOL = 2,
  PP_VARTYPE_INT32 = 3,
  PP_VARTYPE_DOUBLE = 4,
  PP_VARTYPE_STRING = 5,
  PP_VARTYPE_OBJECT = 6,
  PP_VARTYPE_ARRAY = 7,
  PP_VARTYPE_DICTIONARY = 8,
  PP_VARTYPE_ARRAY_BUFFER = 9,
  PP_VARTYPE_RESOURCE = 10
} PP_VarType;

/* Payload of a PP_Var; `as_id` names a browser-side, reference-counted
   object (string, array, dictionary, ...) and is never 0 for a live one. */
union PP_VarValue {
  PP_Bool as_bool;
  int32_t as_int;
  double as_double;
  int64_t as_id;
};

/* A JavaScript value. `padding` keeps `value` at offset 8 on every ABI,
   including 32-bit x86 where doubles may be 4-byte aligned. */
struct PP_Var {
  PP_VarType type;
  int32_t padding;
  union PP_VarValue value;
};

PP_INLINE struct PP_Var PP_MakeUndefined(void) {
  struct PP_Var v = {PP_VARTYPE_UNDEFINED, 0, {PP_FALSE}};
  return v;
}

PP_INLINE struct PP_Var PP_MakeNull(void) {
  struct PP_Var v = {PP_VARTYPE_NULL, 0, {PP_FALSE}};
  return v;
}

PP_INLINE struct PP_Var PP_MakeBool(PP_Bool value) {
  struct PP_Var v = {PP_VARTYPE_BOOL, 0, {PP_FALSE}};
  v.value.as_bool = value;
  return v;
}

PP_INLINE struct PP_Var PP_MakeInt32(int32_t value) {
  struct PP_Var v = {PP_VARTYPE_INT32, 0, {PP_FALSE}};
  v.value.as_int = value;
  return v;
}

PP_INLINE struct PP_Var PP_MakeDouble(double value) {
  struct PP_Var v = {PP_VARTYPE_DOUBLE, 0, {PP_FALSE}};
  v.value.as_double = value;
  return v;
}

/* Called when an asynchronous operation completes; `result` is PP_OK, a
   negative error code or an operation-specific positive value. */
typedef void(PP_CALL* PP_CompletionCallback_Func)(void* user_data, int32_t result);

/* Bits of PP_CompletionCallback.flags. */
typedef enum {
  /* Always run asynchronously, even when the operation could finish now. */
  PP_COMPLETIONCALLBACK_FLAG_NONE = 0,
  /* The operation may finish synchronously and then skip the callback. */
  PP_COMPLETIONCALLBACK_FLAG_OPTIONAL = 1 << 0
} PP_CompletionCallback_Flag;

/* A callback passed by value to browser functions. A null `func` asks for
   a blocking call, which the main thread may not make. */
struct PP_CompletionCallback {
  PP_CompletionCallback_Func func;
  void* user_data;
  int32_t flags;
};

PP_INLINE struct PP_CompletionCallback PP_MakeCompletionCallback(PP_CompletionCallback_Func func, void* user_data) {
  struct PP_CompletionCallback cc;
  cc.func = func;
  cc.user_data = user_data;
  cc.flags = PP_COMPLETIONCALLBACK_FLAG_NONE;
  return cc;
}

PP_INLINE struct PP_CompletionCallback PP_MakeOptionalCompletionCallback(PP_CompletionCallback_Func func,
                                                                         void* user_data) {
  struct PP_CompletionCallback cc = PP_MakeCompletionCallback(func, user_data);
  cc.flags |= PP_COMPLETIONCALLBACK_FLAG_OPTIONAL;
  return cc;
}

PP_INLINE void PP_RunCompletionCallback(struct PP_CompletionCallback* cc, int32_t result) {
  cc->func(cc->user_data, result);
}

/* Result codes. Success is 0 (or a positive, operation-specific value);
   every negative value is a failure, including ones not listed here. */
enum {
  PP_OK = 0,
  PP_OK_COMPLETIONPENDING = -1,
  PP_ERROR_FAILED = -2,
  PP_ERROR_ABORTED = -3,
  PP_ERROR_BADARGUMENT = -4,
  PP_ERROR_BADRESOURCE = -5,
  PP_ERROR_NOINTERFACE = -6,
  PP_ERROR_NOACCESS = -7,
  PP_ERROR_NOMEMORY = -8,
  PP_ERROR_NOSPACE = -9,
  PP_ERROR_NOQUOTA = -10,
  PP_ERROR_INPROGRESS = -11,
  PP_ERROR_NOTSUPPORTED = -12,
  PP_ERROR_BLOCKS_MAIN_THREAD = -13,
  PP_ERROR_MALFORMED_INPUT = -14,
  PP_ERROR_RESOURCE_FAILED = -15,
  PP_ERROR_FILENOTFOUND = -20,
  PP_ERROR_FILEEXISTS = -21,
  PP_ERROR_FILETOOBIG = -22,
  PP_ERROR_FILECHANGED = -23,
  PP_ERROR_NOTAFILE = -24,
  PP_ERROR_TIMEDOUT = -30,
  PP_ERROR_USERCANCEL = -40,
  PP_ERROR_NO_USER_GESTURE = -41,
  PP_ERROR_CONTEXT_LOST = -50,
  PP_ERROR_NO_MESSAGE_LOOP = -51,
  PP_ERROR_WRONG_THREAD = -52,
  PP_ERROR_WOULD_BLOCK_THREAD = -53,
  PP_ERROR_CONNECTION_CLOSED = -100,
  PP_ERROR_CONNECTION_RESET = -101,
  PP_ERROR_CONNECTION_REFUSED = -102,
  PP_ERROR_CONNECTION_ABORTED = -103,
  PP_ERROR_CONNECTION_FAILED = -104,
  PP_ERROR_CONNECTION_TIMEDOUT = -105,
  PP_ERROR_ADDRESS_INVALID = -106,
  PP_ERROR_ADDRESS_UNREACHABLE = -107,
  PP_ERROR_ADDRESS_IN_USE = -108,
  PP_ERROR_MESSAGE_TOO_BIG = -109,
  PP_ERROR_NAME_NOT_RESOLVED = -110
};

/* The browser's lookup of its interfaces by name ("PPB_Core;1.0", ...);
   null when the browser does not offer that name. Given to the module by
   PPP_InitializeModule. */
typedef const void*(PP_CALL* PPB_GetInterface)(const char* interface_name);

/* The module's lookup of its own interfaces ("PPP_Instance;1.1", ...), as
   exported by PPP_GetInterface; null for names it does not offer. */
typedef const void*(PP_CALL* PP_GetInterface_Func)(const char* interface_name);

/* Layouts every Pepper host relies on. */
TWPP_STATIC_ASSERT(sizeof(PP_Instance) == 4, "PP_Instance must be 4 bytes");
TWPP_STATIC_ASSERT(sizeof(PP_Module) == 4, "PP_Module must be 4 bytes");
TWPP_STATIC_ASSERT(sizeof(PP_Resource) == 4, "PP_Resource must be 4 bytes");
TWPP_STATIC_ASSERT(sizeof(PP_Time) == 8, "PP_Time must be 8 bytes");
TWPP_STATIC_ASSERT(sizeof(PP_TimeTicks) == 8, "PP_TimeTicks must be 8 bytes");
TWPP_STATIC_ASSERT(sizeof(PP_TimeDelta) == 8, "PP_TimeDelta must be 8 bytes");
TWPP_STATIC_ASSERT(sizeof(struct PP_Point) == 8, "PP_Point must be 8 bytes");
TWPP_STATIC_ASSERT(sizeof(struct PP_FloatPoint) == 8, "PP_FloatPoint must be 8 bytes");
TWPP_STATIC_ASSERT(sizeof(struct PP_Size) == 8, "PP_Size must be 8 bytes");
TWPP_STATIC_ASSERT(sizeof(struct PP_Rect) == 16, "PP_Rect must be 16 bytes");
TWPP_STATIC_ASSERT(sizeof(PP_VarType) == 4, "PP_VarType must be 4 bytes");
TWPP_STATIC_ASSERT(sizeof(union PP_VarValue) == 8, "PP_VarValue must be 8 bytes");
TWPP_STATIC_ASSERT(sizeof(struct PP_Var) == 16, "PP_Var must be 16 bytes");
TWPP_STATIC_ASSERT(sizeof(PP_CompletionCallback_Flag) == 4, "PP_CompletionCallback_Flag must be 4 bytes");
