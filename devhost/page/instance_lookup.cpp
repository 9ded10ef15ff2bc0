#include "devhost/page/instance_lookup.h"

#include "devhost/page/script_fields.h"

namespace pphost {

InstanceRecord& RequiredInstance(InstanceTable& instances, const Json& line) {
  const Json& id = RequiredId(line);
  InstanceRecord* record = instances.FindByPageId(id);
  if (record == nullptr) throw ScriptError("unknown id " + DumpLine(id));
  return *record;
}

}  // namespace pphost
