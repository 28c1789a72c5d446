#include "platform/fontengine/code_page_ranges.h"

#include "platform/fontengine/freetype_handles.h"

#include FT_TRUETYPE_TABLES_H

namespace qzf {
namespace {

constexpr std::uint32_t kLatin1 = 1u << 0;
constexpr std::uint32_t kSymbol = 1u << 31;

}  // namespace

std::uint32_t CodePageBitOfCharSet(int charSet) {
  switch (charSet) {
    case 0:  // ANSI_CHARSET
      return kLatin1;
    case 238:  // EASTEUROPE_CHARSET
      return 1u << 1;
    case 204:  // RUSSIAN_CHARSET
      return 1u << 2;
    case 161:  // GREEK_CHARSET
      return 1u << 3;
    case 162:  // TURKISH_CHARSET
      return 1u << 4;
    case 177:  // HEBREW_CHARSET
      return 1u << 5;
    case 178:  // ARABIC_CHARSET
      return 1u << 6;
    case 186:  // BALTIC_CHARSET
      return 1u << 7;
    case 163:  // VIETNAMESE_CHARSET
      return 1u << 8;
    case 222:  // THAI_CHARSET
      return 1u << 16;
    case 128:  // SHIFTJIS_CHARSET
      return 1u << 17;
    case 134:  // GB2312_CHARSET
      return 1u << 18;
    case 129:  // HANGEUL_CHARSET
      return 1u << 19;
    case 136:  // CHINESEBIG5_CHARSET
      return 1u << 20;
    case 130:  // JOHAB_CHARSET
      return 1u << 21;
    case 2:  // SYMBOL_CHARSET
      return kSymbol;
    default:
      return 0;
  }
}

std::uint32_t FaceCodePages(const std::string& file, int faceIndex) {
  const FtFacePtr face = OpenFontFace(file, faceIndex);
  if (!face) return 0;
  FT_Face raw = face.get();
  if (auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(raw, FT_SFNT_OS2)); os2 && os2->version != 0xFFFF) {
    if (os2->version != 0) return static_cast<std::uint32_t>(os2->ulCodePageRange1);
    const bool symbol = os2->usFirstCharIndex >= 0xF000 && os2->usFirstCharIndex < 0xF100;
    return symbol ? kSymbol : kLatin1;
  }
  std::uint32_t pages = 0;
  for (int i = 0; i < raw->num_charmaps; ++i) {
    switch (raw->charmaps[i]->encoding) {
      case FT_ENCODING_UNICODE:
      case FT_ENCODING_APPLE_ROMAN:
        pages |= kLatin1;
        break;
      case FT_ENCODING_MS_SYMBOL:
        pages |= kSymbol;
        break;
      default:
        break;
    }
  }
  return pages;
}

}  // namespace qzf
