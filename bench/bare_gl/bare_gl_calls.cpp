#include "bare_gl/bare_gl_calls.h"

#include "yuv/gl_program.h"

namespace tallwick_bench {

namespace {

GLuint CompiledShader(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint status = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
  if (status == GL_TRUE) return shader;
  glDeleteShader(shader);
  return 0;
}

}  // namespace

GLuint BuildBareProgram(const char* vertexText, const char* fragmentText, GLuint* vertexShader, GLuint* fragmentShader,
                        std::string* error) {
  const GLuint vertex = CompiledShader(GL_VERTEX_SHADER, vertexText);
  const GLuint fragment = CompiledShader(GL_FRAGMENT_SHADER, fragmentText);
  if (vertex == 0 || fragment == 0) {
    if (vertex != 0) glDeleteShader(vertex);
    if (fragment != 0) glDeleteShader(fragment);
    *error = "a shader does not compile";
    return 0;
  }
  const GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glBindAttribLocation(program, TALLWICK_PP_RENDER::kAttribPosition, "a_position");
  glBindAttribLocation(program, TALLWICK_PP_RENDER::kAttribTexCoord, "a_texCoord");
  glBindAttribLocation(program, TALLWICK_PP_RENDER::kAttribTexCoordUV, "a_texCoordUV");
  glLinkProgram(program);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (vertexShader != nullptr && fragmentShader != nullptr) {
    *vertexShader = vertex;
    *fragmentShader = fragment;
  } else {
    glDeleteShader(vertex);
    glDeleteShader(fragment);
  }
  if (linked != GL_TRUE) {
    *error = "the program does not link";
    glDeleteProgram(program);
    return 0;
  }
  glUseProgram(program);
  return program;
}

GLuint NewPlaneTexture() {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return texture;
}

void UploadPlane(GLenum unit, GLuint texture, int32_t width, int32_t height, const uint8_t* pixels) {
  glActiveTexture(unit);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, width, height, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, pixels);
}

PlaneUniforms LookUpPlaneUniforms(GLuint program) {
  return {glGetUniformLocation(program, "tex_y"), glGetUniformLocation(program, "tex_u"),
          glGetUniformLocation(program, "tex_v"), glGetUniformLocation(program, "is_nv12")};
}

void UploadI420(const TALLWICK_PP_RENDER::VideoFrame& frame, const GLuint* textures, const PlaneUniforms& uniforms) {
  const int32_t chromaRows = frame.height >> 1;
  UploadPlane(GL_TEXTURE0, textures[0], frame.planS0, frame.height, frame.plan0);
  glUniform1i(uniforms.texY, 0);
  glUniform1i(uniforms.isNv12, 0);
  UploadPlane(GL_TEXTURE1, textures[1], frame.planS1, chromaRows, frame.plan1);
  glUniform1i(uniforms.texU, 1);
  UploadPlane(GL_TEXTURE2, textures[2], frame.planS2, chromaRows, frame.plan2);
  glUniform1i(uniforms.texV, 2);
}

}  // namespace tallwick_bench
