#pragma once

#include <array>
#include <cstdint>

#include "devhost/gl/gl_api.h"
#include "devhost/presented_image.h"
#include "host/ppapi/pp_types.h"

namespace pphost {

// The side of a context that the page sees, kept on the GPU as a compositor
// keeps a plug-in's frame: a swap copies the drawing buffer into a staged
// texture at once (the module may draw on while the swap is in flight), its
// completion makes that texture the shown one. Pixels reach the CPU only
// through ReadShown. Every call needs the owning context current and leaves
// the module's GL state as it found it.
class PresentedSurface {
 public:
  // Copies `width` x `height` of `framebuffer` into the staged texture and
  // submits the copy.
  void Stage(GLuint framebuffer, int32_t width, int32_t height);
  // The staged picture becomes the shown one.
  void Show();
  // `rect` of what is shown (rows from the top, on the picture); empty
  // before the first Show.
  PresentedImage ReadShown(bool opaque, const PP_Rect& rect);
  int32_t ShownWidth() const { return slots_[shown_].width; }
  int32_t ShownHeight() const { return slots_[shown_].height; }
  // Forgets the objects without deleting them (their context is gone).
  void Abandon();
  void Delete();

 private:
  struct Slot {
    GLuint texture = 0;
    GLuint framebuffer = 0;  // made on the first read, with the texture attached
    int32_t width = 0;
    int32_t height = 0;
  };

  Slot& Staged() { return slots_[1 - shown_]; }
  static void CopyInto(Slot& slot, GLuint framebuffer, int32_t width, int32_t height);

  std::array<Slot, 2> slots_{};
  int shown_ = 0;
};

}  // namespace pphost
