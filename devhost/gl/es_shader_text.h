#pragma once

#include <vector>

#include "devhost/gl/gl_api.h"

namespace pphost {

// OpenGL ES 2.0 shader texts (GLSL ES 1.00) have no #version line. A desktop
// OpenGL context reads such a text as desktop GLSL 1.10, which knows no
// precision qualifiers; with GL_ARB_ES2_compatibility it reads a text that
// starts with "#version 100" as GLSL ES 1.00. So for a desktop context the
// host puts that line before a text that has no #version of its own, as a
// string of its own: the module's texts stay as they are.

// Whether `text` (of `length` characters, or up to its NUL when negative)
// starts with a #version directive, after blanks and comments.
bool HasVersionDirective(const char* text, GLint length);

// What glShaderSource gets on a desktop context in place of the module's
// `count` strings (with their `lengths`, or none: null).
struct DesktopShaderSource {
  std::vector<const char*> strings;
  std::vector<GLint> lengths;  // empty when the module gave none
  bool withLengths = false;

  GLsizei Count() const { return static_cast<GLsizei>(strings.size()); }
  const GLint* Lengths() const { return withLengths ? lengths.data() : nullptr; }
};

// The module's strings, after the "#version 100" line when the first of
// them has no #version.
DesktopShaderSource ForDesktopGl(GLsizei count, const char* const* strings, const GLint* lengths);

}  // namespace pphost
