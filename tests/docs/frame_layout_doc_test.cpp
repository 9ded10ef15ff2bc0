// docs/frame-layout.md against the layout header and the module's frame
// reader: the header table's offsets and sizes, the format and state values,
// and the worked example (its numbers and its header bytes) as the module
// reads them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "docs/markdown_doc.h"
#include "frame/frame_bounds.h"
#include "frame/frame_layout.h"
#include "frame/video_frame.h"

namespace {

using docs_test::MarkdownDoc;
using docs_test::Missing;
using docs_test::ReadSourceFile;
using docs_test::Unwrapped;
using TALLWICK_PP_RENDER::CheckVideoFrameBounds;
using TALLWICK_PP_RENDER::kVideoFrameOk;
using TALLWICK_PP_RENDER::ParseVideoFrame;
using TALLWICK_PP_RENDER::VideoFrame;

constexpr const char* kDocument = "docs/frame-layout.md";
constexpr const char* kLayoutHeader = "src/frame/frame_layout.h";

struct NamedValue {
  std::string name;  // the constant's name in the layout header
  int64_t value;
};

// The constant's name and its value, written once.
#define NAMED(constant) \
  { #constant, static_cast < int64_t>(tallwick::frame::constant) }

const std::vector<NamedValue>& Offsets() {
  static const std::vector<NamedValue> offsets = {
      NAMED(kOffsetFrameId),   NAMED(kOffsetState),  NAMED(kOffsetReserved0), NAMED(kOffsetWidth),
      NAMED(kOffsetHeight),    NAMED(kOffsetPlanS0), NAMED(kOffsetPlanS1),    NAMED(kOffsetPlanS2),
      NAMED(kOffsetRotation),  NAMED(kOffsetFlip),   NAMED(kOffsetReserved1), NAMED(kOffsetFormat),
      NAMED(kOffsetReserved2),
  };
  return offsets;
}

const std::vector<NamedValue>& Formats() {
  static const std::vector<NamedValue> formats = {NAMED(kFormatI420), NAMED(kFormatRGBA), NAMED(kFormatNV12)};
  return formats;
}

#undef NAMED

constexpr int64_t kWordSize = sizeof(uint32_t);

// kOffsetPlanS0 -> planS0: the field's name in the document.
std::string FieldName(const std::string& constant) {
  std::string field = constant.substr(std::string("kOffset").size());
  field[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(field[0])));
  return field;
}

std::map<std::string, int64_t> FieldOffsets() {
  std::map<std::string, int64_t> fields;
  for (const NamedValue& offset : Offsets()) fields[FieldName(offset.name)] = offset.value;
  return fields;
}

std::set<std::string> Names(const std::vector<std::string>& names) { return {names.begin(), names.end()}; }

std::set<std::string> Names(const std::vector<NamedValue>& values) {
  std::set<std::string> names;
  for (const NamedValue& value : values) names.insert(value.name);
  return names;
}

class FrameLayoutDocTest : public ::testing::Test {
 protected:
  FrameLayoutDocTest() : doc_(ReadSourceFile(kDocument)) {}
  MarkdownDoc doc_;
};

// A field or format added to the layout header must be added to the lists
// above, and so reach the document's checks.
TEST_F(FrameLayoutDocTest, ListsEveryOffsetAndFormatOfTheLayoutHeader) {
  const std::string header = ReadSourceFile(kLayoutHeader);
  for (const auto& [prefix, listed] : {std::make_pair("kOffset", Names(Offsets())), {"kFormat", Names(Formats())}}) {
    const std::set<std::string> declared = Names(docs_test::DeclaredConstants(header, prefix));
    EXPECT_EQ(Missing(declared, listed), "") << "declared in " << kLayoutHeader << " but unknown to this test";
    EXPECT_EQ(Missing(listed, declared), "") << "listed here but no longer declared in " << kLayoutHeader;
  }
}

TEST_F(FrameLayoutDocTest, HeaderTableHasEveryFieldAtItsOffsetWithNoGaps) {
  const std::map<std::string, int64_t> fields = FieldOffsets();
  std::set<std::string> documented;
  int64_t next = 0;
  for (const auto& row : doc_.Table({"Offset", "Size", "Field", "Meaning"})) {
    ASSERT_GE(row.size(), 3u);
    const std::string field = Unwrapped(row[2], '`');
    const int64_t offset = std::stoll(row[0]);
    documented.insert(field);
    ASSERT_EQ(fields.count(field), 1u) << "the layout has no header field " << field;
    EXPECT_EQ(offset, fields.at(field)) << "the offset of " << field;
    EXPECT_EQ(std::stoll(row[1]), kWordSize) << "the size of " << field;
    EXPECT_EQ(offset, next) << field << " does not follow the row above it";
    next = offset + kWordSize;
  }
  EXPECT_EQ(next, static_cast<int64_t>(tallwick::frame::kHeaderSize)) << "the header's documented length";
  std::set<std::string> all;
  for (const auto& [field, offset] : fields) all.insert(field);
  EXPECT_EQ(Missing(all, documented), "") << "header fields missing from the table";
}

TEST_F(FrameLayoutDocTest, FormatAndStateTablesGiveTheLayoutsValues) {
  std::map<int64_t, std::string> documented;
  for (const auto& row : doc_.Table({"`format`", "Pixel format"})) documented[std::stoll(row.at(0))] = row.at(1);
  EXPECT_EQ(documented.size(), Formats().size());
  for (const NamedValue& format : Formats()) {
    const std::string name = format.name.substr(std::string("kFormat").size());
    ASSERT_EQ(documented.count(format.value), 1u) << name;
    EXPECT_EQ(documented[format.value], name);
  }
  const auto states = doc_.Table({"`state`", "The reader"});
  ASSERT_FALSE(states.empty());
  EXPECT_EQ(std::stoll(states.front().at(0)), static_cast<int64_t>(tallwick::frame::kStateComplete))
      << "the first row is the complete frame";
}

// One column of the worked example: a header as the document gives it, the
// plane offsets and sizes it claims, and the segment size.
class WorkedExample {
 public:
  WorkedExample(const docs_test::TableRows& rows, size_t column) {
    for (const auto& row : rows) {
      const std::string label = Unwrapped(row.at(0), '`');
      values_[label] = row.at(column);
    }
  }

  int64_t Number(const std::string& label) const {
    const auto found = values_.find(label);
    if (found == values_.end()) {
      ADD_FAILURE() << "the worked example has no row " << label;
      return 0;
    }
    return std::stoll(found->second);
  }
  bool Has(const std::string& label) const { return values_.count(label) != 0 && values_.at(label) != "none"; }

  // A segment of the example's size holding its header words.
  std::vector<uint8_t> Segment() const {
    std::vector<uint8_t> segment(static_cast<size_t>(Number("segment size")));
    for (const auto& [field, offset] : FieldOffsets()) {
      if (values_.count(field) == 0) continue;
      tallwick::frame::StoreLE32(segment.data() + offset, static_cast<uint32_t>(Number(field)));
    }
    return segment;
  }

 private:
  std::map<std::string, std::string> values_;
};

// The fields the module read back are those of the example.
void ExpectFieldsOf(const WorkedExample& example, const VideoFrame& frame) {
  EXPECT_EQ(frame.frameId, example.Number("frameId"));
  EXPECT_EQ(frame.width, example.Number("width"));
  EXPECT_EQ(frame.height, example.Number("height"));
  EXPECT_EQ(frame.planS0, example.Number("planS0"));
  EXPECT_EQ(frame.planS1, example.Number("planS1"));
  EXPECT_EQ(frame.planS2, example.Number("planS2"));
  EXPECT_EQ(frame.rotation, example.Number("rotation"));
  EXPECT_EQ(frame.flip, example.Number("flip") != 0);
  EXPECT_EQ(frame.format, example.Number("format"));
}

TEST_F(FrameLayoutDocTest, WorkedExampleIsWhatTheModuleReadsAndTheSmallestSegmentItAccepts) {
  const auto rows = doc_.Table({"Worked example", "I420", "NV12"});
  for (size_t column : {1, 2}) {
    SCOPED_TRACE(column == 1 ? "I420" : "NV12");
    const WorkedExample example(rows, column);
    std::vector<uint8_t> segment = example.Segment();
    const int64_t size = example.Number("segment size");
    ASSERT_EQ(example.Number("state"), static_cast<int64_t>(tallwick::frame::kStateComplete));

    VideoFrame frame;
    ASSERT_EQ(ParseVideoFrame(segment.data(), &frame, "doc"), kVideoFrameOk);
    ExpectFieldsOf(example, frame);
    const bool nv12 = frame.format == tallwick::frame::kFormatNV12;
    EXPECT_EQ(frame.plan0 - segment.data(), example.Number("plane 0 offset"));
    EXPECT_EQ(frame.plan1 - segment.data(), example.Number("plane 1 offset"));
    EXPECT_EQ(example.Has("plane 2 offset"), !nv12) << "NV12 has no plane 2";
    if (!nv12) {
      EXPECT_EQ(frame.plan2 - segment.data(), example.Number("plane 2 offset"));
    }

    // The plane sizes follow from the strides and rows, and add up to the segment.
    const int64_t chromaRows = frame.height / 2;
    EXPECT_EQ(example.Number("plane 0 bytes"), int64_t{frame.planS0} * frame.height);
    EXPECT_EQ(example.Number("plane 1 bytes"), int64_t{frame.planS1} * chromaRows);
    EXPECT_EQ(example.Number("plane 2 bytes"), nv12 ? 0 : int64_t{frame.planS2} * chromaRows);
    EXPECT_EQ(example.Number("plane 0 offset") + example.Number("plane 0 bytes"), example.Number("plane 1 offset"));
    const int64_t end =
        example.Number("plane 1 offset") + example.Number("plane 1 bytes") + example.Number("plane 2 bytes");
    EXPECT_EQ(end, size);

    EXPECT_EQ(CheckVideoFrameBounds(frame, segment.data(), static_cast<size_t>(size), "doc"), kVideoFrameOk);
    EXPECT_NE(CheckVideoFrameBounds(frame, segment.data(), static_cast<size_t>(size - 1), "doc"), kVideoFrameOk)
        << "one byte less still fits: the segment size is not the smallest";
  }
}

// The bytes of the example's header, as the document prints them.
std::vector<uint8_t> HexDump(const std::vector<std::string>& lines) {
  std::vector<uint8_t> bytes;
  for (const std::string& line : lines) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) {
      ADD_FAILURE() << "no offset in the line \"" << line << "\"";
      continue;
    }
    EXPECT_EQ(std::stoul(line.substr(0, colon)), bytes.size()) << "the offset of the line \"" << line << "\"";
    std::istringstream hex(line.substr(colon + 1));
    unsigned value = 0;
    while (hex >> std::hex >> value) bytes.push_back(static_cast<uint8_t>(value));
  }
  return bytes;
}

TEST_F(FrameLayoutDocTest, HeaderBytesOfTheWorkedExampleReadAsItsI420Column) {
  const auto blocks = doc_.FencedBlocks("hex");
  ASSERT_EQ(blocks.size(), 1u);
  const std::vector<uint8_t> bytes = HexDump(blocks.front());
  ASSERT_EQ(bytes.size(), tallwick::frame::kHeaderSize);

  const WorkedExample example(doc_.Table({"Worked example", "I420", "NV12"}), 1);
  std::vector<uint8_t> segment(static_cast<size_t>(example.Number("segment size")));
  std::copy(bytes.begin(), bytes.end(), segment.begin());
  VideoFrame frame;
  ASSERT_EQ(ParseVideoFrame(segment.data(), &frame, "doc"), kVideoFrameOk) << "the bytes hold no complete frame";
  ExpectFieldsOf(example, frame);
  EXPECT_EQ(segment, example.Segment()) << "the reserved words are not zero";
}

}  // namespace
