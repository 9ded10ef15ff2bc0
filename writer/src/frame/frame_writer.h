#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "frame/frame_layout.h"
#include "frame/shm.h"

namespace tallwick::frame {

// What a writer puts into the header besides the frame id and the state.
struct FrameGeometry {
  int32_t width = 0;
  int32_t height = 0;
  int32_t format = kFormatI420;
  int32_t planS0 = 0;
  int32_t planS1 = 0;
  int32_t planS2 = 0;  // unused (0) for NV12
  int32_t rotation = 0;
  bool flip = false;
};

// Geometry with the tightest strides for `width` plus `rowPadding` bytes per
// row: Y = width, I420 U and V = (width + 1) / 2, NV12 UV = 2 * ((width + 1) / 2).
// Every format other than NV12 is laid out as I420.
FrameGeometry MakeGeometry(int32_t width, int32_t height, int32_t format, int32_t rowPadding = 0);

// Bytes of plane `index` (0, 1 or 2); plane 2 of NV12 has none.
uint64_t PlaneSize(const FrameGeometry& geometry, int index);

// Bytes a segment needs for one frame of this geometry: header plus planes.
uint64_t FrameSegmentSize(const FrameGeometry& geometry);

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
