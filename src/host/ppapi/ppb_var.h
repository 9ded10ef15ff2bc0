#pragma once

/* "PPB_Var": reference counts of vars and UTF-8 string vars. */

#include "host/ppapi/pp_types.h"

#define PPB_VAR_INTERFACE_1_0 "PPB_Var;1.0"
#define PPB_VAR_INTERFACE_1_1 "PPB_Var;1.1"
#define PPB_VAR_INTERFACE_1_2 "PPB_Var;1.2"
#define PPB_VAR_INTERFACE PPB_VAR_INTERFACE_1_2

/* 1.0: creating a string also names the module. */
struct PPB_Var_1_0 {
  void(PP_CALL* AddRef)(struct PP_Var var);
  void(PP_CALL* Release)(struct PP_Var var);
  struct PP_Var(PP_CALL* VarFromUtf8)(PP_Module module, const char* data, uint32_t len);
  const char*(PP_CALL* VarToUtf8)(struct PP_Var var, uint32_t* len);
};

struct PPB_Var_1_1 {
  void(PP_CALL* AddRef)(struct PP_Var var);
  void(PP_CALL* Release)(struct PP_Var var);
  /* `data` need not be NUL-terminated; the result holds one reference for
     the caller, or is a null var on failure. */
  struct PP_Var(PP_CALL* VarFromUtf8)(const char* data, uint32_t len);
  /* Not NUL-terminated; valid while the var lives. Null (and *len 0) for a
     var that is not a string. */
  const char*(PP_CALL* VarToUtf8)(struct PP_Var var, uint32_t* len);
};

/* 1.2 appends resource vars to 1.1. */
struct PPB_Var_1_2 {
  void(PP_CALL* AddRef)(struct PP_Var var);
  void(PP_CALL* Release)(struct PP_Var var);
  struct PP_Var(PP_CALL* VarFromUtf8)(const char* data, uint32_t len);
  const char*(PP_CALL* VarToUtf8)(struct PP_Var var, uint32_t* len);
  PP_Resource(PP_CALL* VarToResource)(struct PP_Var var);
  struct PP_Var(PP_CALL* VarFromResource)(PP_Resource resource);
};

typedef struct PPB_Var_1_2 PPB_Var;
