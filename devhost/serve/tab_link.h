#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pphost::serve {

// What the bridge needs of a browser tab's connection: a way to send it a
// text message (one JSON object) and a binary message (a frame). Both return
// at once; the connection sends in order.
class TabLink {
 public:
  virtual ~TabLink() = default;
  virtual void SendText(std::string text) = 0;
  virtual void SendBinary(std::vector<uint8_t> bytes) = 0;
};

}  // namespace pphost::serve
