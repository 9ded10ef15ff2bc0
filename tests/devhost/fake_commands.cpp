#include "devhost/fake_commands.h"

#include <png.h>

#include <utility>

#include "devhost/scripted_host.h"

namespace devhost_test {

std::string Send(const std::string& id, Json msg) {
  return pphost::DumpLine(Json{{"op", "message"}, {"id", id}, {"msg", std::move(msg)}});
}

std::string Command(const std::string& id, const char* command, const Json& fields) {
  Json msg{{"command", command}};
  msg.update(fields);
  return Send(id, msg);
}

std::string Fill(const std::string& id, const Json& colour) { return Command(id, "FILL", colour); }

Json Rgba(double r, double g, double b, double a) { return Json{{"r", r}, {"g", g}, {"b", b}, {"a", a}}; }

std::vector<Json> Replies(const std::vector<Json>& out, const std::string& command) {
  std::vector<Json> replies;
  for (const Json& msg : Posted(out)) {
    if (msg.is_object() && msg.value("command", "") == command) replies.push_back(msg);
  }
  return replies;
}

std::vector<std::string> Errors(const std::vector<Json>& out) {
  std::vector<std::string> texts;
  for (const Json& line : OfKind(out, "error")) texts.push_back(line.at("text").get<std::string>());
  return texts;
}

std::vector<int> PngFile::At(int x, int y) const {
  const auto offset = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4;
  return std::vector<int>(rgba.begin() + static_cast<std::ptrdiff_t>(offset),
                          rgba.begin() + static_cast<std::ptrdiff_t>(offset + 4));
}

PngFile ReadPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  PngFile file;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return file;
  image.format = PNG_FORMAT_RGBA;
  file.rgba.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, file.rgba.data(), 0, nullptr) == 0) return file;
  file.width = static_cast<int>(image.width);
  file.height = static_cast<int>(image.height);
  return file;
}

}  // namespace devhost_test
