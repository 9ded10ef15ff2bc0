#include "micro/module_draw_page.h"

#include <EGL/egl.h>
#include <GLES2/gl2.h>
#include <unistd.h>

namespace tallwick_bench {

namespace {

constexpr int kFps = 25;
constexpr int64_t kTickMs = 1000 / kFps;
constexpr int kWarmUpFrames = 5;

std::string SegmentPrefix() { return "/tallwick-render-bench-" + std::to_string(getpid()); }

StreamPageSetup SetupFor(const DrawCase& drawCase) {
  StreamPageSetup setup;
  setup.fps = kFps;
  setup.viewWidth = drawCase.viewWidth;
  setup.viewHeight = drawCase.viewHeight;
  setup.streams = CameraStreams(1, SegmentPrefix(), drawCase.geometry);
  return setup;
}

StreamPageSetup SetupFor(const GalleryCase& galleryCase) {
  StreamPageSetup setup;
  setup.role = ElementRole::kGallery;
  setup.fps = kFps;
  setup.viewWidth = galleryCase.viewWidth;
  setup.viewHeight = galleryCase.viewHeight;
  setup.streams = CameraStreams(galleryCase.count, SegmentPrefix(), galleryCase.geometry);
  setup.tiles = GridTiles(galleryCase.count, galleryCase.columns, setup.viewWidth, setup.viewHeight);
  return setup;
}

}  // namespace

ModuleDrawPage::ModuleDrawPage() : page_(pphost::ClockMode::kVirtual, nullptr) {}

bool ModuleDrawPage::Start(const DrawCase& drawCase, ViewOrder order, std::string* error) {
  StreamPageSetup setup = SetupFor(drawCase);
  setup.viewBeforeInit = order == ViewOrder::kBeforeInit;
  return StartPage(setup, error);
}

bool ModuleDrawPage::StartGallery(const GalleryCase& galleryCase, std::string* error) {
  return StartPage(SetupFor(galleryCase), error);
}

bool ModuleDrawPage::StartPage(const StreamPageSetup& setup, std::string* error) {
  for (const PageStream& stream : setup.streams) {
    writers_.push_back(WritePicture(stream.segmentPath, stream.geometry, error));
    if (writers_.back() == nullptr) return false;
  }
  return page_.Start(setup, error) && WarmUp(error);
}

// The first frame is drawn when rendering starts; a few more settle the
// paint loop on its grid.
bool ModuleDrawPage::WarmUp(std::string* error) {
  page_.Run(kTickMs);
  presentsBefore_ = page_.Presents();
  for (int i = 0; i < kWarmUpFrames; ++i) DrawNext();
  if (page_.StreamsShown() != static_cast<int64_t>(writers_.size()) || !EachFramePresented()) {
    *error = "the element did not draw a frame on every tick";
    return false;
  }
  if (eglGetCurrentContext() == EGL_NO_CONTEXT) {
    *error = "the host's context is not current on this thread";
    return false;
  }
  drawn_ = 0;
  presentsBefore_ = page_.Presents();
  return true;
}

void ModuleDrawPage::DrawNext() {
  ++frameId_;
  for (const auto& writer : writers_) writer->WriteFrame(frameId_, nullptr, nullptr, nullptr);
  page_.Run(kTickMs);
  glFinish();
  ++drawn_;
}

bool ModuleDrawPage::EachFramePresented() const { return page_.Presents() - presentsBefore_ == drawn_; }

std::string ModuleDrawPage::DrawingBufferSize() {
  const auto shown = page_.Host().LastPresented(pphost::Json(StreamPage::kElementId));
  if (!shown) return "none";
  return std::to_string(shown->image.width) + "x" + std::to_string(shown->image.height);
}

}  // namespace tallwick_bench
