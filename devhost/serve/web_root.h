#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pphost::serve {

// The folder the server hands out files from. Only regular files inside it
// are served: a request target that names anything outside (through "..",
// an encoded "..", a symbolic link or an absolute path) resolves to nothing.
class WebRoot {
 public:
  explicit WebRoot(const std::filesystem::path& folder);

  // The file that a request target ("/meeting.html?x=1") names, or nullopt
  // when it lies outside the folder, is not a regular file or is malformed.
  // "/" names index.html.
  std::optional<std::filesystem::path> Resolve(std::string_view target) const;

  const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;  // canonical
};

// The Content-Type for a file, from its extension.
std::string_view MimeType(const std::filesystem::path& file);

// The target's path without its query, percent-decoded; nullopt when an
// escape is malformed or decodes to a NUL.
std::optional<std::string> DecodeTargetPath(std::string_view target);

}  // namespace pphost::serve
