#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "frame/frame_geometry.h"
#include "frame/frame_layout.h"
#include "frame/shm.h"

namespace tallwick::frame {

// Publishes frames into one segment that it creates, following the state-word
// rule: the state leaves "complete" before anything of the frame changes and
// returns to it after everything, including the new frame id, is written.
// Removes the segment's name when destroyed (if it created the segment).
class FrameWriter {
 public:
  // The segment gets FrameSegmentSize(geometry) bytes, or segmentSize if larger.
  FrameWriter(std::string path, const FrameGeometry& geometry, size_t segmentSize = 0);
  ~FrameWriter();

  FrameWriter(const FrameWriter&) = delete;
  FrameWriter& operator=(const FrameWriter&) = delete;

  // Creates and maps the segment; until it succeeds the frame calls do
  // nothing and Plane() is null. A new segment is zero-filled, so it holds no
  // complete frame before the first EndFrame.
  shoom::ShoomError Create();

  // Geometry for the next frame; refused (false) when it does not fit the segment.
  bool SetGeometry(const FrameGeometry& geometry);
  const FrameGeometry& Geometry() const { return geometry_; }

  // Marks the frame as being written and writes the header's geometry. The
  // planes may then be filled through Plane(); EndFrame publishes the frame.
  void BeginFrame();
  void EndFrame(int32_t frameId);

  // Begin, copy the planes (each laid out with the geometry's strides; plane2
  // ignored for NV12; a null plane keeps the segment's bytes), End.
  void WriteFrame(int32_t frameId, const uint8_t* plane0, const uint8_t* plane1, const uint8_t* plane2);

  // Start of plane `index` in the segment, for the current geometry (where a
  // reader's parse locates it).
  uint8_t* Plane(int index) const;
  // Start of row `row` of plane `index`, at the geometry's stride.
  uint8_t* Row(int index, int32_t row) const;

  const shoom::Shm& Segment() const { return shm_; }

  // Leaves the segment's name in place when the writer goes away, so that
  // readers can still open it afterwards.
  void KeepSegment() { created_ = false; }

 private:
  void WriteGeometry();

  shoom::Shm shm_;
  FrameGeometry geometry_;
  bool created_ = false;
};

}  // namespace tallwick::frame
