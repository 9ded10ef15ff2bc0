#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "frame/frame_bounds.h"
#include "frame/frame_layout.h"
#include "frame/shm.h"
#include "frame/video_frame.h"

namespace tallwick::test {

// A writer's segment mapped read-only, as the module maps it.
struct ReadOnlySegment {
  explicit ReadOnlySegment(const std::string& name) : shm(name, 0) { EXPECT_EQ(shm.Open(), shoom::kOK); }

  // The frame's record as the module parses it.
  int32_t Parse(TALLWICK_PP_RENDER::VideoFrame* frame) const {
    return TALLWICK_PP_RENDER::ParseVideoFrame(shm.Data(), frame, "cam");
  }
  // Parses and bounds-checks the frame as the module does before drawing.
  int32_t Read(TALLWICK_PP_RENDER::VideoFrame* frame) const {
    const int32_t parsed = Parse(frame);
    if (parsed != TALLWICK_PP_RENDER::kVideoFrameOk) return parsed;
    return TALLWICK_PP_RENDER::CheckVideoFrameBounds(*frame, shm.Data(), shm.Size(), "cam");
  }
  uint32_t State() const { return frame::LoadLE32(shm.Data() + frame::kOffsetState); }
  std::vector<uint8_t> Bytes() const { return {shm.Data(), shm.Data() + shm.Size()}; }

  shoom::Shm shm;
};

}  // namespace tallwick::test
