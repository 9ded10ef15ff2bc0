#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "publisher/pattern.h"
#include "writer/frame_writer.h"

namespace tallwick::publisher {

// Reads 4:2:0 frames from a YUV4MPEG2 file, one after the other, starting
// over at the end.
class Y4mReader {
 public:
  // Opens the file and reads its header; false with a reason when the file
  // is missing or not 8-bit 4:2:0.
  bool Open(const std::string& path, std::string* error);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

  // The next frame's planes, tightly packed (Y, then U, then V); false when
  // the file holds no complete frame.
  bool NextFrame(std::vector<uint8_t>* planes);

 private:
  bool ReadFrame(std::vector<uint8_t>* planes);

  std::ifstream file_;
  std::streampos firstFrame_;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

// A frame source that plays a Y4M file whose size matches the stream's.
std::unique_ptr<FrameSource> MakeY4mSource(const std::string& path, const tallwick::frame::FrameGeometry& geometry,
                                           std::string* error);

}  // namespace tallwick::publisher
