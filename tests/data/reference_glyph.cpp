#include "tests/data/reference_glyph.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>

namespace qzf::test {
namespace {

struct ConfigDeleter {
  void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};
struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct LibraryDeleter {
  void operator()(FT_Library l) const { FT_Done_FreeType(l); }
};
struct FaceDeleter {
  void operator()(FT_Face f) const { FT_Done_Face(f); }
};

std::optional<std::string> IpaGothicFile() {
  // A configuration of our own, released again: the default one lives until exit.
  std::unique_ptr<FcConfig, ConfigDeleter> config(FcInitLoadConfigAndFonts());
  std::unique_ptr<FcPattern, PatternDeleter> pattern(FcNameParse(reinterpret_cast<const FcChar8*>("IPAGothic")));
  if (!config || !pattern) return std::nullopt;
  FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  std::unique_ptr<FcPattern, PatternDeleter> font(FcFontMatch(config.get(), pattern.get(), &result));
  FcChar8* file = nullptr;
  if (!font || FcPatternGetString(font.get(), FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(file));
}

}  // namespace

std::optional<GreyImage> RenderReferenceGlyph(char32_t c, int pixels) {
  const auto file = IpaGothicFile();
  if (!file) return std::nullopt;
  FT_Library rawLibrary = nullptr;
  if (FT_Init_FreeType(&rawLibrary) != 0) return std::nullopt;
  std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library(rawLibrary);
  FT_Face rawFace = nullptr;
  if (FT_New_Face(library.get(), file->c_str(), 0, &rawFace) != 0) return std::nullopt;
  std::unique_ptr<FT_FaceRec_, FaceDeleter> face(rawFace);
  // Hinted this time, unlike the generator: the shape must still match.
  if (FT_Set_Pixel_Sizes(face.get(), 0, static_cast<FT_UInt>(pixels)) != 0 || FT_Get_Char_Index(face.get(), c) == 0 ||
      FT_Load_Char(face.get(), c, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP) != 0) {
    return std::nullopt;
  }
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  GreyImage image{static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows), {}};
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    for (unsigned col = 0; col < bitmap.width; ++col) {
      image.levels.push_back(
          static_cast<std::uint8_t>(bitmap.buffer[static_cast<long>(row) * bitmap.pitch + col] * 15 / 255));
    }
  }
  return image;
}

}  // namespace qzf::test
