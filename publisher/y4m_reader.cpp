#include "publisher/y4m_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "publisher/stream_settings.h"

namespace tallwick::publisher {

namespace {

using tallwick::frame::FrameGeometry;
using tallwick::frame::FrameWriter;

constexpr const char* kSignature = "YUV4MPEG2";
constexpr const char* kFrameTag = "FRAME";

// A W or H tag's number: 1 to kMaxPictureSide, or 0 for anything else (a
// header's numbers size the frame buffer, so they are not trusted).
int32_t PictureSide(const std::string& digits) {
  char* end = nullptr;
  const long long value = std::strtoll(digits.c_str(), &end, 10);
  if (end == digits.c_str() || *end != '\0' || value < 1 || value > kMaxPictureSide) return 0;
  return static_cast<int32_t>(value);
}

bool IsSupportedColourSpace(const std::string& tag) {
  return tag == "C420" || tag == "C420jpeg" || tag == "C420paldv" || tag == "C420mpeg2";
}

// Copies tightly packed Y, U, V planes into the frame being written, at the
// writer's strides (NV12 interleaves U and V).
void CopyPlanes(FrameWriter& writer, const std::vector<uint8_t>& planes) {
  const FrameGeometry& g = writer.Geometry();
  const int32_t cw = (g.width + 1) / 2;
  const int32_t ch = (g.height + 1) / 2;
  const uint8_t* y = planes.data();
  const uint8_t* u = y + static_cast<size_t>(g.width) * g.height;
  const uint8_t* v = u + static_cast<size_t>(cw) * ch;
  for (int32_t row = 0; row < g.height; ++row) {
    std::memcpy(writer.Row(0, row), y + static_cast<size_t>(row) * g.width, static_cast<size_t>(g.width));
  }
  for (int32_t row = 0; row < g.height / 2; ++row) {
    const uint8_t* uRow = u + static_cast<size_t>(row) * cw;
    const uint8_t* vRow = v + static_cast<size_t>(row) * cw;
    if (g.format == tallwick::frame::kFormatNV12) {
      uint8_t* uv = writer.Row(1, row);
      for (size_t x = 0; x < static_cast<size_t>(cw); ++x) {
        uv[2 * x] = uRow[x];
        uv[2 * x + 1] = vRow[x];
      }
    } else {
      std::memcpy(writer.Row(1, row), uRow, static_cast<size_t>(cw));
      std::memcpy(writer.Row(2, row), vRow, static_cast<size_t>(cw));
    }
  }
}

class Y4mSource : public FrameSource {
 public:
  explicit Y4mSource(std::unique_ptr<Y4mReader> reader) : reader_(std::move(reader)) {}
  void Fill(FrameWriter& writer, int32_t /*frameId*/) override {
    if (reader_->NextFrame(&planes_)) CopyPlanes(writer, planes_);
  }

 private:
  std::unique_ptr<Y4mReader> reader_;
  std::vector<uint8_t> planes_;
};

}  // namespace

bool Y4mReader::Open(const std::string& path, std::string* error) {
  file_.open(path, std::ios::binary);
  std::string header;
  if (!file_ || !std::getline(file_, header)) {
    *error = "cannot read " + path;
    return false;
  }
  std::istringstream fields(header);
  std::string field;
  fields >> field;
  if (field != kSignature) {
    *error = path + " is not a YUV4MPEG2 file";
    return false;
  }
  std::string colourSpace = "C420";
  while (fields >> field) {
    if (field[0] == 'W') width_ = PictureSide(field.substr(1));
    if (field[0] == 'H') height_ = PictureSide(field.substr(1));
    if (field[0] == 'C') colourSpace = field;
  }
  if (width_ <= 0 || height_ <= 0 || !IsSupportedColourSpace(colourSpace)) {
    *error = path + ": only 8-bit 4:2:0 files with a size (up to " + std::to_string(kMaxPictureSide) +
             " a side) are supported (" + header + ")";
    return false;
  }
  firstFrame_ = file_.tellg();
  return true;
}

bool Y4mReader::ReadFrame(std::vector<uint8_t>* planes) {
  std::string tag;
  if (!std::getline(file_, tag) || tag.rfind(kFrameTag, 0) != 0) return false;
  const size_t chroma = static_cast<size_t>((width_ + 1) / 2) * ((height_ + 1) / 2);
  planes->resize(static_cast<size_t>(width_) * height_ + 2 * chroma);
  file_.read(reinterpret_cast<char*>(planes->data()), static_cast<std::streamsize>(planes->size()));
  return static_cast<size_t>(file_.gcount()) == planes->size();
}

bool Y4mReader::NextFrame(std::vector<uint8_t>* planes) {
  if (ReadFrame(planes)) return true;
  file_.clear();
  file_.seekg(firstFrame_);
  return ReadFrame(planes);
}

std::unique_ptr<FrameSource> MakeY4mSource(const std::string& path, const FrameGeometry& geometry, std::string* error) {
  auto reader = std::make_unique<Y4mReader>();
  if (!reader->Open(path, error)) return nullptr;
  if (reader->Width() != geometry.width || reader->Height() != geometry.height) {
    *error = path + " is " + std::to_string(reader->Width()) + "x" + std::to_string(reader->Height()) +
             ": give the stream width=" + std::to_string(reader->Width()) +
             ";height=" + std::to_string(reader->Height());
    return nullptr;
  }
  return std::make_unique<Y4mSource>(std::move(reader));
}

}  // namespace tallwick::publisher
