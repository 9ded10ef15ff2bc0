#pragma once

/* "PPB_VarDictionary": dictionary vars with string keys. */

#include "host/ppapi/pp_types.h"

#define PPB_VAR_DICTIONARY_INTERFACE_1_0 "PPB_VarDictionary;1.0"
#define PPB_VAR_DICTIONARY_INTERFACE PPB_VAR_DICTIONARY_INTERFACE_1_0

struct PPB_VarDictionary_1_0 {
  /* A new, empty dictionary holding one reference for the caller. */
  struct PP_Var(PP_CALL* Create)(void);
  /* The value under `key` with a reference added, or undefined. */
  struct PP_Var(PP_CALL* Get)(struct PP_Var dict, struct PP_Var key);
  /* Adds or replaces; the dictionary takes its own reference to `value`. */
  PP_Bool(PP_CALL* Set)(struct PP_Var dict, struct PP_Var key, struct PP_Var value);
  void(PP_CALL* Delete)(struct PP_Var dict, struct PP_Var key);
  PP_Bool(PP_CALL* HasKey)(struct PP_Var dict, struct PP_Var key);
  /* An array var of the keys with a reference for the caller, or null. */
  struct PP_Var(PP_CALL* GetKeys)(struct PP_Var dict);
};

typedef struct PPB_VarDictionary_1_0 PPB_VarDictionary;
