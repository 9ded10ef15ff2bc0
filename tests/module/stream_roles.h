#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "module/gallery_page.h"

namespace module_test {

// The two elements that show a user's camera.
enum class Role { kSingleStream, kGallery };

void PrintTo(Role role, std::ostream* out);

// A page on which the users' cameras, published as GalleryPageTest publishes
// them, are shown by one role: the single-stream element "v" (one user, the
// picture stretched over its whole view) or tiles of the gallery "g" (one a
// user, side by side from the top left, each twice the frame's size, so that
// a frame pixel is two by two tile pixels).
class StreamRolePageTest : public GalleryPageTest {
 protected:
  // Makes the role's element for these users (their writers already hold the
  // geometry they will write), as a page does: "INIT", then the view, whose
  // change makes the renderer's context; then the gallery's layout. Black
  // where no picture is. Nothing is started.
  void ShowOn(Role role, const std::vector<std::string>& uids);
  // "START_RENDER" for the element.
  std::vector<Json> Start() { return Do({Command(Element(), "START_RENDER")}); }
  // A second "INIT" of the element, then a view of another size, then
  // "START_RENDER" (which the single-stream element needs again after an
  // "INIT"; the gallery is still started and refuses it).
  std::vector<Json> InitAgain(int32_t viewWidth, int32_t viewHeight);

  // The element's page id and its frame interval (one tick) in ms.
  const std::string& Element() const { return element_; }
  static constexpr int kTickMs = 50;

  // The element's last presented pixels at these points of uid's frame
  // (luma pixels, rows from the top).
  std::vector<std::array<int, 4>> FramePixels(const std::string& uid, const std::vector<std::array<int, 2>>& points);

 private:
  static Json StreamInit(const std::string& uid);
  static Json GalleryInit();
  std::string View(int32_t width, int32_t height) const;
  std::array<int, 2> ElementPoint(const std::string& uid, const std::array<int, 2>& framePoint);

  Role role_ = Role::kSingleStream;
  std::string element_;
  std::vector<std::string> uids_;
  int32_t viewWidth_ = 0;
  int32_t viewHeight_ = 0;
};

}  // namespace module_test
