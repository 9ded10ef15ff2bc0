#include "embed/protocol.h"

#include <array>
#include <cstddef>

namespace TALLWICK_PP_RENDER {

const char* ErrorText(int32_t code) {
  static constexpr std::array<const char*, 25> kTexts = {
      "",
      "error when reset",
      "error when doUpdateShareMemory",
      "invalid command sent to pp plugin",
      "send a command which dismatches the type of instance",
      "share memory not found",
      "rendering has been started",
      "rendering has been stopped",
      "instance is already inited",
      "instance not inited",
      "set cursor failed",
      "start render error",
      "stop render error",
      "open shoom error",
      "resize buffer error",
      "error when compile shaders",
      "link shader error",
      "bind graphics error",
      "init ppapi error",
      "init texture error",
      "instance context lost",
      "unknown",
      "frame data nullptr",
      "frame is updating",
      "frame cannot be drawn",
  };
  if (code < 0 || static_cast<size_t>(code) >= kTexts.size()) return "unknown";
  return kTexts[static_cast<size_t>(code)];
}

}  // namespace TALLWICK_PP_RENDER
