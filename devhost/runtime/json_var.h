#pragma once

#include "devhost/json.h"
#include "devhost/runtime/var_store.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// Page value → var, holding one reference for the caller. Objects become
// dictionaries, arrays arrays; a number written without fraction or exponent
// that fits 32 bits becomes an int32, any other a double; {"$undefined":true}
// is the undefined var.
PP_Var JsonToVar(const Json& value, VarStore& vars);

// Var → page value, the same mapping back. A double always keeps a fraction
// or an exponent when written. Vars the page cannot see (objects, resources,
// array buffers, stale handles) come out as {"$unsupported": <var type>}; a
// container met again inside itself comes out as null.
Json VarToJson(PP_Var var, const VarStore& vars);

}  // namespace pphost
