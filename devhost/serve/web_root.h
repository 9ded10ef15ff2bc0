#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pphost::serve {

// Where the page library is, whatever folder of pages is served.
inline constexpr std::string_view kLibraryPrefix = "/tallwick/";

// The folders the server hands out files from: the folder of pages at "/",
// and the page library under kLibraryPrefix. Only regular files inside them
// are served: a request target that names anything outside (through "..",
// an encoded "..", a symbolic link or an absolute path) resolves to nothing.
class WebRoot {
 public:
  // Without a library, kLibraryPrefix is a folder of `folder` like any other.
  explicit WebRoot(const std::filesystem::path& folder, const std::filesystem::path& library = {});

  // The file that a request target ("/meeting.html?x=1",
  // "/tallwick/plugin-element.js") names, or nullopt when it lies outside its
  // folder, is not a regular file or is malformed. "/" names index.html.
  std::optional<std::filesystem::path> Resolve(std::string_view target) const;

  const std::filesystem::path& Folder() const { return folder_; }
  const std::filesystem::path& Library() const { return library_; }

 private:
  std::filesystem::path folder_;   // canonical
  std::filesystem::path library_;  // canonical, or empty
};

// The Content-Type for a file, from its extension.
std::string_view MimeType(const std::filesystem::path& file);

// The target's path without its query, percent-decoded; nullopt when an
// escape is malformed or decodes to a NUL.
std::optional<std::string> DecodeTargetPath(std::string_view target);

}  // namespace pphost::serve
