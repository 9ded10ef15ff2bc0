#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devhost/json.h"

// Input lines that drive the fake plug-in through pphost, and readers of
// what comes back.
namespace devhost_test {

using pphost::Json;

// A `message` line to instance `id`.
std::string Send(const std::string& id, Json msg);
// A `message` line carrying {"command": command, ...fields}.
std::string Command(const std::string& id, const char* command, const Json& fields = Json::object());
std::string Fill(const std::string& id, const Json& colour);
Json Rgba(double r, double g, double b, double a = 1.0);

// What the module posted for `command`, in order.
std::vector<Json> Replies(const std::vector<Json>& out, const std::string& command);
// The texts of the `error` lines, in order.
std::vector<std::string> Errors(const std::vector<Json>& out);

struct PngFile {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;

  // R, G, B, A of the pixel at (x, y).
  std::vector<int> At(int x, int y) const;
};

// The file as RGBA; 0x0 when it cannot be read.
PngFile ReadPng(const std::string& path);

}  // namespace devhost_test
