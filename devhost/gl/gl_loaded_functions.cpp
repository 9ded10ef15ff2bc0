#include "devhost/gl/gl_loaded_functions.h"

#include <cstdint>

namespace pphost {

#define PPHOST_DEFINE_LOADED_GL(TYPE, Name) PFNGL##TYPE##PROC gl##Name = nullptr;
PPHOST_LOADED_GL_FUNCTIONS(PPHOST_DEFINE_LOADED_GL)
#undef PPHOST_DEFINE_LOADED_GL

namespace {

// wglGetProcAddress's answer for a function the driver lacks: null, and
// from some drivers 1, 2, 3 or -1.
bool Missing(PROC function) {
  const auto value = reinterpret_cast<intptr_t>(function);
  return value == 0 || value == 1 || value == 2 || value == 3 || value == -1;
}

template <typename Function>
bool Load(Function& function, const char* name, std::string& missing) {
  const PROC found = wglGetProcAddress(name);
  if (Missing(found)) {
    function = nullptr;
    if (missing.empty()) missing = name;
    return false;
  }
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(found));
  return true;
}

}  // namespace

bool LoadGlFunctions(std::string& missing) {
  missing.clear();
  bool all = true;
#define PPHOST_LOAD_GL(TYPE, Name) all = Load(gl##Name, "gl" #Name, missing) && all;
  PPHOST_LOADED_GL_FUNCTIONS(PPHOST_LOAD_GL)
#undef PPHOST_LOAD_GL
  return all;
}

}  // namespace pphost
