#pragma once

#include "devhost/json.h"
#include "devhost/runtime/instance_table.h"

namespace pphost {

// The live instance named by the line's `id`; throws ScriptError when the
// field is bad or no instance has that name.
InstanceRecord& RequiredInstance(InstanceTable& instances, const Json& line);

}  // namespace pphost
