#include "devhost/module_loader.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace pphost {

namespace {

constexpr const char* kModuleFileName = "libtallwick-ppapi-render.so";

std::string DlError() {
  const char* text = dlerror();
  return text != nullptr ? text : "unknown error";
}

template <typename Function>
bool FindSymbol(void* library, const char* name, Function& function, std::string& error) {
  dlerror();
  void* address = dlsym(library, name);
  if (address == nullptr) {
    error = std::string("missing entry point ") + name;
    return false;
  }
  function = reinterpret_cast<Function>(address);
  return true;
}

}  // namespace

std::string DefaultModulePath() {
  std::error_code failed;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
  const std::filesystem::path folder = failed ? std::filesystem::current_path() : self.parent_path();
  return (folder / ".." / "lib" / kModuleFileName).lexically_normal().string();
}

std::optional<EntryPoints> LoadModuleLibrary(const std::string& path, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    error = "cannot load module " + path + ": " + DlError();
    return std::nullopt;
  }
  EntryPoints entry;
  std::string missing;
  if (!FindSymbol(library, "PPP_InitializeModule", entry.initialize, missing) ||
      !FindSymbol(library, "PPP_GetInterface", entry.getInterface, missing) ||
      !FindSymbol(library, "PPP_ShutdownModule", entry.shutdown, missing)) {
    error = "cannot load module " + path + ": " + missing;
    dlclose(library);
    return std::nullopt;
  }
  return entry;
}

}  // namespace pphost
