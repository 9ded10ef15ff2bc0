#pragma once

#include <optional>
#include <string>

#include "devhost/entry_points.h"

namespace pphost {

// <directory of this program>/../lib/libtallwick-ppapi-render.so; on Windows
// tallwick-ppapi-render.dll beside the program.
std::string DefaultModulePath();

// Opens the shared library at `path` and finds its three entry points. On
// failure returns nothing and says why in `error`. The library stays loaded
// until the process ends: the module keeps process-wide objects that live
// that long by design.
std::optional<EntryPoints> LoadModuleLibrary(const std::string& path, std::string& error);

}  // namespace pphost
