// OpenGL ES 2.0 shader texts on a desktop OpenGL context: which texts
// already say their version, and what glShaderSource gets instead of the
// module's strings.
#include "devhost/gl/es_shader_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "yuv/shader_texts.h"

namespace devhost_test {
namespace {

using pphost::DesktopShaderSource;
using pphost::ForDesktopGl;
using pphost::HasVersionDirective;
using ::testing::ElementsAre;

TEST(EsShaderTextTest, VersionDirectiveOnlyAsTheFirstThingAfterBlanksAndComments) {
  EXPECT_TRUE(HasVersionDirective("#version 100\nvoid main() {}", -1));
  EXPECT_TRUE(HasVersionDirective("\r\n  \t# version 100", -1));
  EXPECT_TRUE(HasVersionDirective("// ES\n/* two\nlines */ #version 100\n", -1));
  EXPECT_TRUE(HasVersionDirective("#version\t100", -1));

  EXPECT_FALSE(HasVersionDirective("precision mediump float;\nvoid main() {}", -1));
  EXPECT_FALSE(HasVersionDirective("#define A 1\n#version 100\n", -1));
  EXPECT_FALSE(HasVersionDirective("#versions 100\n", -1));
  EXPECT_FALSE(HasVersionDirective("/* #version 100 */\n", -1));
  EXPECT_FALSE(HasVersionDirective("/* unterminated #version 100", -1));
  EXPECT_FALSE(HasVersionDirective("// #version 100", -1));
  EXPECT_FALSE(HasVersionDirective("", -1));
  EXPECT_FALSE(HasVersionDirective(nullptr, -1));
  // A length stops the text short of its NUL.
  EXPECT_FALSE(HasVersionDirective("#version 100", 4));
  EXPECT_TRUE(HasVersionDirective("#version 100 garbage past the length", 12));
}

// The module's own texts are ES ones without a #version: each gets the line.
TEST(EsShaderTextTest, TheModulesTextsGetTheEsVersionLine) {
  using namespace TALLWICK_PP_RENDER;
  for (const char* text :
       {kVertexShaderText, kFragmentShaderText, kGalleryVertexShaderText, kGalleryFragmentShaderText}) {
    const DesktopShaderSource source = ForDesktopGl(1, &text, nullptr);
    ASSERT_EQ(source.Count(), 2);
    EXPECT_STREQ(source.strings[0], "#version 100\n");
    EXPECT_EQ(source.strings[1], text);  // the module's own string, not a copy
    EXPECT_EQ(source.Lengths(), nullptr);
  }
}

TEST(EsShaderTextTest, LengthsGainTheLinesLength) {
  const std::vector<const char*> strings{"precision mediump float;", "void main() {}XYZ"};
  const std::vector<GLint> lengths{-1, 14};
  const DesktopShaderSource source = ForDesktopGl(2, strings.data(), lengths.data());
  ASSERT_NE(source.Lengths(), nullptr);
  EXPECT_THAT(source.lengths, ElementsAre(13, -1, 14));
  EXPECT_EQ(std::string(source.strings[0], static_cast<size_t>(source.lengths[0])), "#version 100\n");
  EXPECT_THAT(source.strings, ElementsAre(source.strings[0], strings[0], strings[1]));
}

TEST(EsShaderTextTest, TextsWithAVersionOrNoneStayAsTheyAre) {
  const char* versioned = "#version 100\nvoid main() {}";
  DesktopShaderSource source = ForDesktopGl(1, &versioned, nullptr);
  EXPECT_THAT(source.strings, ElementsAre(versioned));

  // The first string's length decides what it holds: here "#version".
  const std::vector<const char*> strings{"#version 100 and more", "\nvoid main() {}"};
  const std::vector<GLint> lengths{12, -1};
  source = ForDesktopGl(2, strings.data(), lengths.data());
  EXPECT_THAT(source.lengths, ElementsAre(12, -1));

  source = ForDesktopGl(0, nullptr, nullptr);
  EXPECT_EQ(source.Count(), 0);
}

}  // namespace
}  // namespace devhost_test
