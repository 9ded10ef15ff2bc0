#include "devhost/runtime/module_loader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <filesystem>
#include <system_error>

namespace pphost {

namespace {

#ifdef _WIN32

constexpr const char* kModuleFileName = "tallwick-ppapi-render.dll";

// The folder of this program: a DLL is looked for beside the program.
std::filesystem::path ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::filesystem::current_path();
    if (length < path.size()) {
      path.resize(length);
      return std::filesystem::path(path).parent_path();
    }
    path.resize(path.size() * 2);
  }
}

std::string SystemErrorText(DWORD code) {
  return std::system_category().message(static_cast<int>(code)) + " (" + std::to_string(code) + ")";
}

using Library = HMODULE;

Library OpenLibrary(const std::string& path, std::string& why) {
  const Library library = LoadLibraryW(std::filesystem::path(path).wstring().c_str());
  if (library == nullptr) why = SystemErrorText(GetLastError());
  return library;
}

void* LibrarySymbol(Library library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(library, name));
}

void CloseLibrary(Library library) { FreeLibrary(library); }

#else

constexpr const char* kModuleFileName = "libtallwick-ppapi-render.so";

// The folder of this program; the module is looked for in ../lib from there.
std::filesystem::path ProgramFolder() {
  std::error_code failed;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
  return failed ? std::filesystem::current_path() : self.parent_path();
}

using Library = void*;

Library OpenLibrary(const std::string& path, std::string& why) {
  Library library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* text = dlerror();
    why = text != nullptr ? text : "unknown error";
  }
  return library;
}

void* LibrarySymbol(Library library, const char* name) {
  dlerror();
  return dlsym(library, name);
}

void CloseLibrary(Library library) { dlclose(library); }

#endif

template <typename Function>
bool FindSymbol(Library library, const char* name, Function& function, std::string& error) {
  void* address = LibrarySymbol(library, name);
  if (address == nullptr) {
    error = std::string("missing entry point ") + name;
    return false;
  }
  function = reinterpret_cast<Function>(address);
  return true;
}

}  // namespace

std::string DefaultModulePath() {
#ifdef _WIN32
  return (ProgramFolder() / kModuleFileName).lexically_normal().string();
#else
  return (ProgramFolder() / ".." / "lib" / kModuleFileName).lexically_normal().string();
#endif
}

std::optional<EntryPoints> LoadModuleLibrary(const std::string& path, std::string& error) {
  std::string why;
  const Library library = OpenLibrary(path, why);
  if (library == nullptr) {
    error = "cannot load module " + path + ": " + why;
    return std::nullopt;
  }
  EntryPoints entry;
  std::string missing;
  if (!FindSymbol(library, "PPP_InitializeModule", entry.initialize, missing) ||
      !FindSymbol(library, "PPP_GetInterface", entry.getInterface, missing) ||
      !FindSymbol(library, "PPP_ShutdownModule", entry.shutdown, missing)) {
    error = "cannot load module " + path + ": " + missing;
    CloseLibrary(library);
    return std::nullopt;
  }
  return entry;
}

}  // namespace pphost
