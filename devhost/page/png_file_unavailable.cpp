// A host built without libpng (the Windows build) writes no PNG files; it
// has no 3D contexts either, so there is never a picture to write.
#include "devhost/page/png_file.h"

namespace pphost {

std::string WritePng(const std::string& path, const PresentedImage& /*image*/) {
  return "cannot write " + path + ": this build writes no PNG files";
}

}  // namespace pphost
