// RgbToYuv without libyuv (the Windows build), with the same answers.
#include "publisher/bt601.h"
#include "publisher/pattern.h"

namespace tallwick::publisher {

YuvColour RgbToYuv(uint8_t red, uint8_t green, uint8_t blue) { return Bt601FromRgb(red, green, blue); }

}  // namespace tallwick::publisher
