#include "writer/frame_writer.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>

namespace tallwick::frame {

namespace {

size_t SegmentSizeFor(const FrameGeometry& geometry, size_t segmentSize) {
  return std::max(static_cast<size_t>(FrameSegmentSize(geometry)), segmentSize);
}

}  // namespace

FrameWriter::FrameWriter(std::string path, const FrameGeometry& geometry, size_t segmentSize)
    : shm_(std::move(path), SegmentSizeFor(geometry, segmentSize)), geometry_(geometry) {}

FrameWriter::~FrameWriter() {
  if (created_) shoom::Shm::Remove(shm_.Path());
}

shoom::ShoomError FrameWriter::Create() {
  const shoom::ShoomError result = shm_.Create();
  created_ = result == shoom::kOK;
  return result;
}

bool FrameWriter::SetGeometry(const FrameGeometry& geometry) {
  if (FrameSegmentSize(geometry) > shm_.Size()) return false;
  geometry_ = geometry;
  return true;
}

void FrameWriter::BeginFrame() {
  uint8_t* header = shm_.Data();
  if (header == nullptr) return;
  StoreLE32(header + kOffsetState, kStateWriting);
  // Readers must see "writing" before any other change of the frame.
  std::atomic_thread_fence(std::memory_order_release);
  WriteGeometry();
}

void FrameWriter::EndFrame(int32_t frameId) {
  uint8_t* header = shm_.Data();
  if (header == nullptr) return;
  StoreLE32(header + kOffsetFrameId, static_cast<uint32_t>(frameId));
  // Everything of the frame is visible before "complete" is.
  std::atomic_thread_fence(std::memory_order_release);
  StoreLE32(header + kOffsetState, kStateComplete);
}

void FrameWriter::WriteFrame(int32_t frameId, const uint8_t* plane0, const uint8_t* plane1, const uint8_t* plane2) {
  if (shm_.Data() == nullptr) return;
  BeginFrame();
  const uint8_t* sources[3] = {plane0, plane1, plane2};
  for (int index = 0; index < 3; ++index) {
    const uint64_t bytes = PlaneSize(geometry_, index);
    if (bytes != 0 && sources[index] != nullptr) std::memcpy(Plane(index), sources[index], bytes);
  }
  EndFrame(frameId);
}

uint8_t* FrameWriter::Plane(int index) const {
  if (shm_.Data() == nullptr) return nullptr;
  uint64_t offset = kHeaderSize;
  for (int before = 0; before < index; ++before) offset += PlaneSize(geometry_, before);
  return shm_.Data() + offset;
}

uint8_t* FrameWriter::Row(int index, int32_t row) const {
  uint8_t* plane = Plane(index);
  if (plane == nullptr || index < 0 || index > 2) return nullptr;
  const int32_t strides[3] = {geometry_.planS0, geometry_.planS1, geometry_.planS2};
  return plane + static_cast<ptrdiff_t>(row) * strides[index];
}

void FrameWriter::WriteGeometry() {
  uint8_t* header = shm_.Data();
  StoreLE32(header + kOffsetWidth, static_cast<uint32_t>(geometry_.width));
  StoreLE32(header + kOffsetHeight, static_cast<uint32_t>(geometry_.height));
  StoreLE32(header + kOffsetPlanS0, static_cast<uint32_t>(geometry_.planS0));
  StoreLE32(header + kOffsetPlanS1, static_cast<uint32_t>(geometry_.planS1));
  StoreLE32(header + kOffsetPlanS2, static_cast<uint32_t>(geometry_.planS2));
  StoreLE32(header + kOffsetRotation, static_cast<uint32_t>(geometry_.rotation));
  StoreLE32(header + kOffsetFlip, geometry_.flip ? 1u : 0u);
  StoreLE32(header + kOffsetFormat, static_cast<uint32_t>(geometry_.format));
}

}  // namespace tallwick::frame
