#pragma once

#include <string>

#include "devhost/presented_image.h"

namespace pphost {

// Writes `image` (not empty) as an RGBA PNG file. Empty on success, else
// why it failed.
std::string WritePng(const std::string& path, const PresentedImage& image);

}  // namespace pphost
