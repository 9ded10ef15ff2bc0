/* Compile-time checks of the Pepper C ABI declarations, as seen from C: the
   headers must be valid C11 and give the same layouts as in C++. */

#include "host/ppapi/ppapi.h"
#include "host/ppapi/ppapi_abi_layout_checks.h"

TWPP_STATIC_ASSERT(offsetof(struct PP_Var, value) == 8, "PP_Var.value offset");
TWPP_STATIC_ASSERT(offsetof(struct PP_CompletionCallback, flags) == 2 * sizeof(void*),
                   "PP_CompletionCallback.flags offset");
TWPP_STATIC_ASSERT(sizeof(struct PP_CompletionCallback) == 3 * sizeof(void*), "PP_CompletionCallback size");

/* A C translation unit must define something. */
extern const int twpp_abi_checks_c;
const int twpp_abi_checks_c = 1;
