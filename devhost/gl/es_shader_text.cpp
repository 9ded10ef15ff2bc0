#include "devhost/gl/es_shader_text.h"

#include <cstddef>
#include <string_view>

namespace pphost {

namespace {

constexpr char kEsVersionLine[] = "#version 100\n";

}  // namespace

bool HasVersionDirective(const char* text, GLint length) {
  if (text == nullptr) return false;
  const std::string_view whole = length >= 0 ? std::string_view(text, static_cast<size_t>(length)) : text;
  size_t at = 0;
  while (at < whole.size()) {
    if (whole[at] == ' ' || whole[at] == '\t' || whole[at] == '\r' || whole[at] == '\n') {
      ++at;
    } else if (whole.compare(at, 2, "//") == 0) {
      at = whole.find('\n', at);
    } else if (whole.compare(at, 2, "/*") == 0) {
      const size_t end = whole.find("*/", at + 2);
      at = end == std::string_view::npos ? end : end + 2;
    } else {
      break;
    }
  }
  if (at >= whole.size() || whole[at] != '#') return false;
  at = whole.find_first_not_of(" \t", at + 1);
  if (at == std::string_view::npos || whole.compare(at, 7, "version") != 0) return false;
  const size_t after = at + 7;
  return after == whole.size() || whole[after] == ' ' || whole[after] == '\t' || whole[after] == '\r' ||
         whole[after] == '\n';
}

DesktopShaderSource ForDesktopGl(GLsizei count, const char* const* strings, const GLint* lengths) {
  DesktopShaderSource source;
  source.withLengths = lengths != nullptr;
  const bool addLine =
      count > 0 && strings != nullptr && !HasVersionDirective(strings[0], source.withLengths ? lengths[0] : -1);
  if (addLine) {
    source.strings.push_back(kEsVersionLine);
    if (source.withLengths) source.lengths.push_back(static_cast<GLint>(sizeof(kEsVersionLine) - 1));
  }
  if (count > 0 && strings != nullptr) {
    source.strings.insert(source.strings.end(), strings, strings + count);
    if (source.withLengths) source.lengths.insert(source.lengths.end(), lengths, lengths + count);
  }
  return source;
}

}  // namespace pphost
