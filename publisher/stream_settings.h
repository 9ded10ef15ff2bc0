#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tallwick::publisher {

// What one published stream looks like and how it misbehaves, from a
// "key=value,key=value" text given on the command line.
struct StreamSettings {
  std::string name;  // segment name
  std::string uid = "u1";
  std::string sid = "s1";
  bool isScreen = false;
  int32_t width = 1280;
  int32_t height = 720;
  int32_t format = 0;   // 0 I420, 2 NV12
  int32_t padding = 0;  // extra bytes per row
  int32_t rotation = 0;
  bool flip = false;
  std::string pattern = "bars";  // "bars", "tile:R,G,B", "solid:R,G,B", "palette[:S]" or "y4m:PATH"
  std::string label;             // drawn at the bottom-left; empty: none
  // Faults: stop updating after this frame (0: never), pause from a frame for
  // a while, or die while writing a frame, leaving it incomplete.
  int32_t stopAfter = 0;
  int32_t pauseAt = 0;
  int32_t pauseMs = 0;
  int32_t dieAt = 0;
};

// Largest picture width or height a stream (or a Y4M file it plays) may have.
inline constexpr int32_t kMaxPictureSide = 8192;

// Longest label that still fits a 640-pixel-wide picture at a readable size.
inline constexpr size_t kMaxLabelLength = 24;

// Parses one stream description; on failure returns false and says why.
bool ParseStreamSettings(const std::string& text, StreamSettings* spec, std::string* error);

// "I420" or "NV12" to the header's format value; -1 for anything else.
int32_t ParseFormat(const std::string& text);

}  // namespace tallwick::publisher
