#include "tools/stockdata/glyph_rasterizer.h"

#include <stdexcept>

namespace qzf::stock {

GlyphRasterizer::GlyphRasterizer(const std::string& fontFile) {
  if (FT_Init_FreeType(&library_) != 0) throw std::runtime_error("FreeType cannot be initialised");
  if (FT_New_Face(library_, fontFile.c_str(), 0, &face_) != 0) {
    FT_Done_FreeType(library_);
    throw std::runtime_error("FreeType cannot open " + fontFile);
  }
}

GlyphRasterizer::~GlyphRasterizer() {
  FT_Done_Face(face_);
  FT_Done_FreeType(library_);
}

bool GlyphRasterizer::HasGlyph(char32_t c) const { return FT_Get_Char_Index(face_, c) != 0; }

bool GlyphRasterizer::Draw(GreyCell& cell, char32_t c, int height, int left, int top) {
  if (height != pixelHeight_) {
    if (FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(height)) != 0) return false;
    pixelHeight_ = height;
  }
  // Outlines only, unhinted: embedded bitmaps would be two-level, and hinting
  // would tie the bytes to the FreeType version's hinter more than needed.
  if (FT_Load_Char(face_, c, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0) return false;
  const FT_GlyphSlot slot = face_->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.num_grays != 256) return false;

  const long extent = face_->ascender - face_->descender;
  const int ascent = static_cast<int>((height * static_cast<long>(face_->ascender) + extent / 2) / extent);
  const int originX = left + slot->bitmap_left;
  const int originY = top + ascent - slot->bitmap_top;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
    for (unsigned col = 0; col < bitmap.width; ++col) {
      const auto level = static_cast<std::uint8_t>((line[col] * 15 + 127) / 255);
      const int x = originX + static_cast<int>(col);
      const int y = originY + static_cast<int>(row);
      if (level != 0 && x >= left && x < left + height && y >= top && y < top + height) cell.Ink(x, y, level);
    }
  }
  return true;
}

}  // namespace qzf::stock
