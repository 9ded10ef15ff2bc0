#include "devhost/serve/web_root.h"

#include <algorithm>
#include <array>
#include <system_error>
#include <utility>

namespace pphost::serve {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Inside(const std::filesystem::path& folder, const std::filesystem::path& file) {
  auto [folderEnd, fileAt] = std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
  return folderEnd == folder.end() && fileAt != file.end();
}

}  // namespace

std::optional<std::string> DecodeTargetPath(std::string_view target) {
  target = target.substr(0, target.find_first_of("?#"));
  std::string path;
  for (size_t i = 0; i < target.size(); ++i) {
    if (target[i] != '%') {
      path += target[i];
      continue;
    }
    const int high = i + 2 < target.size() ? HexValue(target[i + 1]) : -1;
    const int low = i + 2 < target.size() ? HexValue(target[i + 2]) : -1;
    if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
    path += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return path;
}

WebRoot::WebRoot(const std::filesystem::path& folder, const std::filesystem::path& library)
    : folder_(std::filesystem::canonical(folder)),
      library_(library.empty() ? library : std::filesystem::canonical(library)) {}

std::optional<std::filesystem::path> WebRoot::Resolve(std::string_view target) const {
  std::optional<std::string> path = DecodeTargetPath(target);
  if (!path || path->empty() || path->front() != '/') return std::nullopt;
  if (path->back() == '/') *path += "index.html";
  const bool inLibrary = !library_.empty() && path->rfind(kLibraryPrefix, 0) == 0;
  const std::filesystem::path& folder = inLibrary ? library_ : folder_;
  const std::string inside = path->substr(inLibrary ? kLibraryPrefix.size() : 1);
  // Resolved with every link followed, then held against the folder: the one
  // check covers "..", encoded dots and links that point out.
  std::error_code error;
  std::filesystem::path file = std::filesystem::canonical(folder / inside, error);
  if (error || !Inside(folder, file) || !std::filesystem::is_regular_file(file, error)) return std::nullopt;
  return file;
}

std::string_view MimeType(const std::filesystem::path& file) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kTypes{{
      {".html", "text/html; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".mjs", "text/javascript; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},
      {".json", "application/json"},
      {".png", "image/png"},
      {".svg", "image/svg+xml"},
      {".txt", "text/plain; charset=utf-8"},
  }};
  const std::string extension = file.extension().string();
  for (const auto& [ending, type] : kTypes) {
    if (extension == ending) return type;
  }
  return "application/octet-stream";
}

}  // namespace pphost::serve
