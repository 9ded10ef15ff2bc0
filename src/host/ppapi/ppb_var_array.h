#pragma once

/* "PPB_VarArray": array vars. */

#include "host/ppapi/pp_types.h"

#define PPB_VAR_ARRAY_INTERFACE_1_0 "PPB_VarArray;1.0"
#define PPB_VAR_ARRAY_INTERFACE PPB_VAR_ARRAY_INTERFACE_1_0

struct PPB_VarArray_1_0 {
  /* A new array of length 0 holding one reference for the caller. */
  struct PP_Var(PP_CALL* Create)(void);
  /* The element with a reference added, or undefined past the end. */
  struct PP_Var(PP_CALL* Get)(struct PP_Var array, uint32_t index);
  /* Grows the array (with undefined) when `index` is past the end. */
  PP_Bool(PP_CALL* Set)(struct PP_Var array, uint32_t index, struct PP_Var value);
  uint32_t(PP_CALL* GetLength)(struct PP_Var array);
  PP_Bool(PP_CALL* SetLength)(struct PP_Var array, uint32_t length);
};

typedef struct PPB_VarArray_1_0 PPB_VarArray;
