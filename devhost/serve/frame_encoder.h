#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devhost/presented_image.h"

namespace pphost::serve {

enum class FrameEncoding { kJpeg, kRaw };

// Turns a presented picture into the bytes a tab draws: JPEG (libjpeg-turbo,
// 4:2:0) or the RGBA pixels as they are. Holds its scratch between frames.
class FrameEncoder {
 public:
  FrameEncoder(FrameEncoding encoding, int jpegQuality);

  // Appends the encoded picture to `out`.
  void Encode(const PresentedImage& image, std::vector<uint8_t>& out);

  const char* Name() const { return encoding_ == FrameEncoding::kJpeg ? "jpeg" : "rgba"; }

 private:
  void EncodeJpeg(const PresentedImage& image, std::vector<uint8_t>& out);

  FrameEncoding encoding_;
  int quality_;
};

}  // namespace pphost::serve
