#pragma once

#include <string>

#include "common/singleton.h"

namespace TALLWICK_PP_RENDER {

// The crash-handling hook. Here it keeps only whether it was initialised:
// it starts no process, installs no filter and opens no file.
class CrashManager : public TALLWICK_COMMON::Singleton<CrashManager> {
 public:
  // Marks the hook initialised; the arguments are accepted and not used.
  void Init(std::string crashHandlerPath, std::string logPath, std::string logPath2, int logVersion);
  void Uninit();
  bool IsInited() const { return m_inited; }

 private:
  friend class TALLWICK_COMMON::Singleton<CrashManager>;
  CrashManager() = default;

  bool m_inited = false;
};

}  // namespace TALLWICK_PP_RENDER
