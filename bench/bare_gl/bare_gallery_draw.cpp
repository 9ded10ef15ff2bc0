#include "bare_gl/bare_gallery_draw.h"

#include "yuv/gl_program.h"
#include "yuv/shader_texts.h"

namespace tallwick_bench {

namespace {

using TALLWICK_PP_RENDER::GalleryDrawItem;

void DrawTriangles(const float* positions, const float* texCoordsY, const float* texCoordsUV) {
  glVertexAttribPointer(TALLWICK_PP_RENDER::kAttribPosition, 2, GL_FLOAT, GL_FALSE, 0, positions);
  glVertexAttribPointer(TALLWICK_PP_RENDER::kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, 0, texCoordsY);
  glVertexAttribPointer(TALLWICK_PP_RENDER::kAttribTexCoordUV, 2, GL_FLOAT, GL_FALSE, 0, texCoordsUV);
  glDrawArrays(GL_TRIANGLES, 0, 6);
}

}  // namespace

BareGalleryDraw::~BareGalleryDraw() {
  glDeleteTextures(static_cast<GLsizei>(textures_.size()), textures_.data());
  if (program_ != 0) glDeleteProgram(program_);
}

bool BareGalleryDraw::Init(const TALLWICK_PP_RENDER::TileColor& background, std::string* error) {
  program_ = BuildBareProgram(TALLWICK_PP_RENDER::kGalleryVertexShaderText,
                              TALLWICK_PP_RENDER::kGalleryFragmentShaderText, nullptr, nullptr, error);
  if (program_ == 0) return false;
  locIsBackground_ = glGetUniformLocation(program_, "is_bkcolor");
  locBackgroundData_ = glGetUniformLocation(program_, "bkcolor_data");
  locIsMirror_ = glGetUniformLocation(program_, "is_mirror");
  planes_ = LookUpPlaneUniforms(program_);
  for (GLuint& texture : textures_) texture = NewPlaneTexture();
  glClearColor(background[0], background[1], background[2], background[3]);
  glClear(GL_COLOR_BUFFER_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  return true;
}

void BareGalleryDraw::Draw(const std::vector<GalleryDrawItem>& items, bool fillBackground) {
  for (const GalleryDrawItem& item : items) DrawTile(item, fillBackground);
}

void BareGalleryDraw::DrawTile(const GalleryDrawItem& item, bool fillBackground) {
  glUniform1i(locIsBackground_, 1);
  const TALLWICK_PP_RENDER::TileColor& color = item.backgroundColor;
  glUniform4f(locBackgroundData_, color[0], color[1], color[2], color[3]);
  UploadI420(item.frame, textures_.data(), planes_);
  glEnableVertexAttribArray(TALLWICK_PP_RENDER::kAttribPosition);
  glEnableVertexAttribArray(TALLWICK_PP_RENDER::kAttribTexCoord);
  glEnableVertexAttribArray(TALLWICK_PP_RENDER::kAttribTexCoordUV);
  if (fillBackground) DrawTriangles(item.tilePositions.data(), item.texCoordsY.data(), item.texCoordsUV.data());
  glUniform1i(locIsMirror_, item.mirror ? 1 : 0);
  glUniform1i(locIsBackground_, 0);
  DrawTriangles(item.positions.data(), item.texCoordsY.data(), item.texCoordsUV.data());
}

std::vector<GalleryDrawItem> CroppedTiles(const std::vector<TALLWICK_PP_RENDER::VideoFrame>& frames,
                                          const std::vector<Rect>& tiles, int viewWidth, int viewHeight) {
  std::vector<GalleryDrawItem> items;
  for (size_t i = 0; i < frames.size() && i < tiles.size(); ++i) {
    TALLWICK_PP_RENDER::TilePlacement placement;
    placement.left = static_cast<float>(tiles[i].left);
    placement.top = static_cast<float>(tiles[i].top);
    placement.width = static_cast<float>(tiles[i].width);
    placement.height = static_cast<float>(tiles[i].height);
    placement.renderMode = TALLWICK_PP_RENDER::kRenderModeCrop;
    placement.backgroundColor = {0, 0, 0, 1};
    items.push_back(TALLWICK_PP_RENDER::MakeGalleryDrawItem(placement, frames[i], static_cast<float>(viewWidth),
                                                            static_cast<float>(viewHeight)));
  }
  return items;
}

}  // namespace tallwick_bench
