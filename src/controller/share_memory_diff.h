#pragma once

#include <cstdint>
#include <string>

namespace TALLWICK_PP_RENDER {

// One published frame segment, as the page forwards it.
struct ShareMemoryDiff {
  std::string path;
  std::string uid;
  std::string sid;
  int64_t bufferSize = 0;
  int64_t bufferNumber = 0;
  bool isScreen = false;
  bool isMerge = false;
  int64_t frameFormat = 0;
};

// The registry key of a stream: uid + "_SCREEN", else "_MERGE", else "_CAMERA".
std::string MakeStreamKey(const std::string& uid, bool isScreen, bool isMerge);

}  // namespace TALLWICK_PP_RENDER
