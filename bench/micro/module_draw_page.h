#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/draw_case.h"
#include "support/stream_page.h"
#include "writer/frame_writer.h"

namespace tallwick_bench {

// The module drawing a new frame on every paint tick, linked in and driven
// through the in-process host on its virtual clock: a controller and a
// single-stream element at 25 fps showing one stream, or a gallery showing
// one stream per tile, each segment holding one picture. Each DrawNext gives
// every segment a new frame id (the pictures stay), serves one frame
// interval, in which the tick reads the headers, uploads the planes, draws
// and swaps, and the swap completes, and then calls glFinish on the host's
// context, so that the GPU's work is done.
class ModuleDrawPage {
 public:
  enum class ViewOrder {
    kAfterInit,   // the drawing buffer takes the view's size
    kBeforeInit,  // the drawing buffer takes the frame's size
  };

  ModuleDrawPage();
  ModuleDrawPage(const ModuleDrawPage&) = delete;
  ModuleDrawPage& operator=(const ModuleDrawPage&) = delete;

  // Creates the segment, starts the page and draws a few frames, after
  // which the host's context must be current on this thread. False with
  // the reason.
  bool Start(const DrawCase& drawCase, ViewOrder order, std::string* error);
  bool StartGallery(const GalleryCase& galleryCase, std::string* error);

  void DrawNext();

  // Whether every DrawNext so far ended in exactly one present.
  bool EachFramePresented() const;
  // The element's drawing buffer as its last present showed it, "WxH"
  // (reads the image back: not for the timed loop).
  std::string DrawingBufferSize();

 private:
  bool StartPage(const StreamPageSetup& setup, std::string* error);
  bool WarmUp(std::string* error);

  std::vector<std::unique_ptr<tallwick::frame::FrameWriter>> writers_;
  int32_t frameId_ = 1;
  int64_t drawn_ = 0;
  int64_t presentsBefore_ = 0;
  StreamPage page_;
};

}  // namespace tallwick_bench
