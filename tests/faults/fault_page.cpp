#include "faults/fault_page.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <fstream>

#include "publisher/pattern.h"

namespace fault_test {

using tallwick::frame::FrameWriter;

std::string RoleName(Role role) { return role == Role::kGallery ? "Gallery" : "SingleStream"; }

std::vector<Json> FaultPageTest::AddSingleStream(const std::string& uid, const std::string& id) {
  const Json init = {{"fps", 20}, {"uid", uid}, {"sid", "s-" + uid}, {"renderExceptionThreshold", 1000}, {"dpr", 1}};
  const Json view = {{"op", "view"}, {"id", id}, {"rect", Json::array({0, 0, 160, 90})}};
  return Do({Create(id), Command(id, "INIT", init.dump()), view.dump()});
}

std::vector<Json> FaultPageTest::Show(Role role, const std::string& uid) {
  std::vector<Json> out;
  if (role == Role::kGallery) {
    out = Init(DefaultInit());
    const auto layout = Do({Layout({{uid, "s-" + uid, 0, 0, 160, 90}})});
    out.insert(out.end(), layout.begin(), layout.end());
  } else {
    out = AddSingleStream(uid);
  }
  const auto started = Do({Command(IdOf(role), "START_RENDER")});
  out.insert(out.end(), started.begin(), started.end());
  return out;
}

std::vector<Json> FaultPageTest::Register(const std::string& uid, const std::string& path, int64_t size,
                                          const std::string& controller) {
  const Json diff = {{"path", path},       {"uid", uid},        {"sid", "s-" + uid},
                     {"bufferSize", size}, {"bufferNumber", 1}, {"frameFormat", 0}};
  const Json data = {{"op", 0}, {"diffs", Json::array({diff})}};
  return Do({Command(controller, "DO_UPDATE_SHARED_MEMORY", data.dump())});
}

std::unique_ptr<FrameWriter> FaultPageTest::MakeWriter(const std::string& path, int32_t width, int32_t height) {
  auto writer = std::make_unique<FrameWriter>(
      path, tallwick::frame::MakeGeometry(width, height, tallwick::frame::kFormatI420, module_test::kRowPadding));
  EXPECT_EQ(writer->Create(), shoom::kOK) << path;
  return writer;
}

int64_t FaultPageTest::SegmentSize(const FrameWriter& writer) {
  return static_cast<int64_t>(tallwick::frame::FrameSegmentSize(writer.Geometry()));
}

void FaultPageTest::Fill(FrameWriter& writer, int32_t frameId, const module_test::Rgb& colour) {
  const auto byte = [](int value) { return static_cast<uint8_t>(value); };
  writer.BeginFrame();
  tallwick::publisher::MakeSolidColour(byte(colour.r), byte(colour.g), byte(colour.b))->Fill(writer, frameId);
  writer.EndFrame(frameId);
}

void Resize(const std::string& path, int64_t size) {
  const int fd = shm_open(path.c_str(), O_RDWR, 0);
  ASSERT_GE(fd, 0) << path;
  EXPECT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
  close(fd);
}

size_t Mappings(const std::string& path) {
  std::ifstream maps("/proc/self/maps");
  const std::string needle = "/dev/shm" + path;
  size_t count = 0;
  for (std::string line; std::getline(maps, line);) {
    const size_t at = line.find(needle);
    // The name ends the line, or a " (deleted)" mark follows it.
    if (at != std::string::npos && (at + needle.size() == line.size() || line[at + needle.size()] == ' ')) ++count;
  }
  return count;
}

std::array<int, 4> FaultPageTest::Centre(Role role) {
  std::array<int, 2> point = {80, 45};
  if (role == Role::kSingleStream) {
    const auto shown = PageHost().LastPresented(IdOf(role));
    if (shown && !shown->image.Empty()) point = {shown->image.width / 2, shown->image.height / 2};
  }
  const auto pixels = Pixels({point}, IdOf(role));
  return pixels.empty() ? std::array<int, 4>{-1, -1, -1, -1} : pixels[0];
}

Json FaultPageTest::Shutdown() {
  const auto lines = devhost_test::OfKind(Do({R"({"op":"shutdown"})"}), "shutdown");
  return lines.empty() ? Json() : lines[0];
}

void FaultPageTest::ExpectCleanShutdown(const std::vector<std::string>& segments) {
  const Json line = Shutdown();
  EXPECT_EQ(line.value("live_vars", -1), 0);
  EXPECT_EQ(line.value("live_resources", -1), 0);
  for (const std::string& segment : segments) {
    // Each segment's writer keeps its own view; the module keeps none.
    EXPECT_LE(Mappings(segment), 1u) << segment;
  }
}

}  // namespace fault_test
