// The GL call record: what a call's line holds in place of its pointers, and
// a host without pixels answering the calls from a record of a run with GL,
// so that the module sees the same answers and makes the same calls.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "devhost/fake_commands.h"
#include "devhost/glcalls/client_state.h"
#include "devhost/glcalls/gl_call_log.h"
#include "devhost/scripted_host.h"

namespace devhost_test {
namespace {

using pphost::Json;

constexpr GLenum kRgb = 0x1907;
constexpr GLenum kUnsignedByte = 0x1401;
constexpr GLenum kFloat = 0x1406;

std::vector<Json> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<Json> lines;
  for (std::string text; std::getline(in, text);) lines.push_back(Json::parse(text));
  return lines;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<Json> CallsNamed(const std::vector<Json>& lines, const std::string& name) {
  std::vector<Json> found;
  for (const Json& line : lines) {
    if (line.at("call") == name) found.push_back(line);
  }
  return found;
}

// One instance with a context, drawing, uploading, asking and swapping.
std::vector<Json> PlayDrawing(const pphost::HostOptions& options) {
  ScriptedHost host(options);
  const std::vector<Json> out = host.Execute({
      R"({"op":"create","id":"a"})",
      Command("a", "CONTEXT", {{"width", 8}, {"height", 4}}),
      Command("a", "BIND"),
      Command("a", "QUAD", {{"r", 1}, {"g", 0.5}, {"b", 0.25}, {"a", 1}}),
      Command("a", "RED", {{"sub", true}}),
      Command("a", "ANSWERS"),
      Command("a", "SWAP"),
      R"({"op":"run","ms":0})",
      Command("a", "RESIZE", {{"width", 16}, {"height", 8}}),
  });
  return Posted(out);
}

// Each test's files in a folder of its own (ctest runs the tests at once).
class GlCallRecordTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return (folder_ / name).string(); }

 private:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              (std::string("pphost_gl_record_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
};

TEST_F(GlCallRecordTest, ARunAnsweredFromARecordMakesTheSameCallsAndSeesTheSameAnswers) {
  pphost::HostOptions live = VirtualClock();
  live.glRecord = Path("live.jsonl");
  const std::vector<Json> livePosts = PlayDrawing(live);

  pphost::HostOptions answered = VirtualClock();
  answered.glRecord = Path("answered.jsonl");
  answered.glAnswers = live.glRecord;
  const std::vector<Json> answeredPosts = PlayDrawing(answered);

  EXPECT_EQ(answeredPosts, livePosts);
  EXPECT_FALSE(ReadText(live.glRecord).empty());
  EXPECT_EQ(ReadText(answered.glRecord), ReadText(live.glRecord));
}

TEST_F(GlCallRecordTest, PointersAreWrittenAsWhatTheyHold) {
  pphost::HostOptions options = VirtualClock();
  options.glRecord = Path("record.jsonl");
  PlayDrawing(options);
  const std::vector<Json> lines = ReadLines(options.glRecord);
  ASSERT_FALSE(lines.empty());
  for (const Json& line : lines) {
    EXPECT_EQ(line.dump().find("\"pointer\""), std::string::npos) << line;
    EXPECT_GT(line.at("context").get<int>(), 0) << line;
  }

  const std::vector<Json> sources = CallsNamed(lines, "ShaderSource");
  ASSERT_EQ(sources.size(), 2u);
  EXPECT_THAT(sources[0].at("args").at(2).at(0).get<std::string>(), ::testing::HasSubstr("gl_Position"));
  EXPECT_EQ(CallsNamed(lines, "GetProgramiv").at(0).at("out"), Json::array({1}));
  EXPECT_TRUE(CallsNamed(lines, "GetString").at(0).at("ret").is_string());
  // The quad's corners go into a buffer object: its bytes are summed up, and
  // the attribute's pointer is an offset into it.
  EXPECT_EQ(CallsNamed(lines, "BufferData").at(0).at("args").at(2).at("bytes"), 32);
  EXPECT_EQ(CallsNamed(lines, "VertexAttribPointer").at(0).at("args").at(5), 0);
  // A 2x2 single-channel upload: four bytes, with rows 4 apart.
  EXPECT_EQ(CallsNamed(lines, "TexImage2D").at(0).at("args").at(8).at("bytes"), 4);
  const Json ids = CallsNamed(lines, "GenTextures").at(0).at("out");
  EXPECT_EQ(CallsNamed(lines, "DeleteTextures").at(0).at("args"), Json::array({1, ids}));
}

TEST_F(GlCallRecordTest, BadRecordFilesAreRefusedWithTheirNames) {
  std::string error;
  EXPECT_EQ(pphost::GlCallLog::Open(Path("record.jsonl"), Path("missing.jsonl"), error), nullptr);
  EXPECT_THAT(error, ::testing::HasSubstr("missing.jsonl"));

  std::ofstream(Path("broken.jsonl")) << R"({"call":"Flush","context":1,"args":[]})"
                                      << "\nnot json\n";
  EXPECT_EQ(pphost::GlCallLog::Open(Path("record.jsonl"), Path("broken.jsonl"), error), nullptr);
  EXPECT_THAT(error, ::testing::HasSubstr("broken.jsonl:2"));

  EXPECT_EQ(pphost::GlCallLog::Open(Path("no-such-folder/record.jsonl"), "", error), nullptr);
  EXPECT_THAT(error, ::testing::HasSubstr("no-such-folder/record.jsonl"));
}

TEST(GlCallLog, OnlyTheSameCallAtTheSamePlaceIsAnswered) {
  const std::vector<Json> answers = {Json{{"call", "CreateProgram"}, {"ret", 7}},
                                     Json{{"call", "CreateShader"}, {"ret", 8}}};
  auto* text = new std::ostringstream;
  pphost::GlCallLog log(std::unique_ptr<std::ostream>(text), answers, true);
  log.Begin("CreateProgram", 1);
  ASSERT_NE(log.Answer(), nullptr);
  EXPECT_EQ(log.Answer()->at("ret"), 7);
  log.End();
  log.Begin("CreateProgram", 1);  // the record has CreateShader here
  EXPECT_EQ(log.Answer(), nullptr);
  log.End();
  log.Begin("CreateShader", 1);  // past the record's end
  EXPECT_EQ(log.Answer(), nullptr);
  log.End();
  EXPECT_EQ(text->str(),
            "{\"call\":\"CreateProgram\",\"context\":1,\"args\":[]}\n"
            "{\"call\":\"CreateProgram\",\"context\":1,\"args\":[]}\n"
            "{\"call\":\"CreateShader\",\"context\":1,\"args\":[]}\n");
  EXPECT_EQ(log.Keep("Mesa"), log.Keep("Mesa"));
}

TEST(GlCallRecordData, PixelRowsAreSummedWithoutTheirPadding) {
  // 3x2 RGB with rows 4-aligned: 9 bytes of pixels and 3 of padding a row.
  std::array<uint8_t, 21> pixels{};
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i);
  const Json first = pphost::PixelData(pixels.data(), kRgb, kUnsignedByte, 3, 2, 4);
  EXPECT_EQ(first.at("bytes"), 18);
  pixels[9] = 200;  // padding
  EXPECT_EQ(pphost::PixelData(pixels.data(), kRgb, kUnsignedByte, 3, 2, 4), first);
  pixels[12] = 200;  // the second row's first byte
  EXPECT_NE(pphost::PixelData(pixels.data(), kRgb, kUnsignedByte, 3, 2, 4), first);
  // Read 1-aligned, the same bytes are other rows.
  EXPECT_NE(pphost::PixelData(pixels.data(), kRgb, kUnsignedByte, 3, 2, 1).at("crc32"), first.at("crc32"));
  EXPECT_EQ(pphost::PixelData(nullptr, kRgb, kUnsignedByte, 3, 2, 4), Json(nullptr));
  EXPECT_EQ(pphost::PixelData(pixels.data(), 0x1234, kUnsignedByte, 3, 2, 4), (Json{{"format", "unknown"}}));
}

TEST(GlCallRecordData, VertexValuesFollowStrideAndFirstVertex) {
  // Interleaved x, y, unused: the array reads two of every three floats.
  const std::array<float, 9> data = {0.f, 1.f, 99.f, 2.f, 3.f, 99.f, 4.f, 5.f, 99.f};
  pphost::VertexArray array;
  array.enabled = array.client = true;
  array.size = 2;
  array.type = kFloat;
  array.stride = 3 * sizeof(float);
  array.pointer = data.data();
  EXPECT_EQ(pphost::VertexValues(array, 1, 2), Json::array({2.0, 3.0, 4.0, 5.0}));
  array.type = 0x9999;
  EXPECT_EQ(pphost::VertexValues(array, 0, 1), Json(nullptr));
}

}  // namespace
}  // namespace devhost_test
