#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "module/gallery_page.h"

namespace fault_test {

using module_test::Json;
// What the fault tests look for in a picture, in the module suite's words.
using module_test::kBlue;
using module_test::kGreen;
using module_test::kRed;
using module_test::kWhite;
using module_test::Shows;
using module_test::Solid;

// The two elements that read segments.
enum class Role { kSingleStream, kGallery };

std::string RoleName(Role role);
// Names the cases of a test over both roles.
inline std::string RoleTestName(const ::testing::TestParamInfo<Role>& test) { return RoleName(test.param); }

// Shrinks (or grows) the named segment the way a writer would.
void Resize(const std::string& path, int64_t size);

// How many views of the named segment this process has mapped (the writers'
// own included), unlinked ones too.
size_t Mappings(const std::string& path);

// A page with a controller "c", a gallery "g" and, on demand, a single-stream
// element "v" (GalleryPageTest's page), where things go wrong on purpose.
// Every test ends by checking what the module left alive.
class FaultPageTest : public module_test::GalleryPageTest {
 protected:
  // The element of `role` shows uid's camera from now on: "v" is created and
  // inited (160x90), or "g" is inited (320x180) with one 160x90 tile at (0, 0);
  // then START_RENDER. Returns the output.
  std::vector<Json> Show(Role role, const std::string& uid = "u1");
  static std::string IdOf(Role role) { return role == Role::kGallery ? "g" : "v"; }
  // The single-stream element "v" for uid, inited and with its view, not started.
  std::vector<Json> AddSingleStream(const std::string& uid = "u1", const std::string& id = "v");

  // Registers `path` of `size` bytes as uid's camera segment, as the page
  // forwards it; no segment is made.
  std::vector<Json> Register(const std::string& uid, const std::string& path, int64_t size,
                             const std::string& controller = "c");

  // A writer of its own for `path`, frames of width x height (I420, 16 bytes
  // of row padding) in a segment of exactly one frame; created.
  static std::unique_ptr<tallwick::frame::FrameWriter> MakeWriter(const std::string& path, int32_t width,
                                                                  int32_t height);
  static int64_t SegmentSize(const tallwick::frame::FrameWriter& writer);
  // Publishes a complete frame of one colour.
  static void Fill(tallwick::frame::FrameWriter& writer, int32_t frameId, const module_test::Rgb& colour);

  // The colour at the middle of the element's picture (of the tile that
  // Show places, for the gallery).
  std::array<int, 4> Centre(Role role);

  // `shutdown`, and the line that says what the module left alive.
  Json Shutdown();
  // The module left no var, resource or view of these segments alive.
  void ExpectCleanShutdown(const std::vector<std::string>& segments = {});
};

}  // namespace fault_test
