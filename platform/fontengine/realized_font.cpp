#include "platform/fontengine/realized_font.h"

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "platform/fontengine/vdmx_table.h"

namespace qzf {
namespace {

constexpr FT_Pos kPixel = 64;  // one pixel in 26.6 fixed point

FT_Pos Floor(FT_Pos v) { return v & -kPixel; }
FT_Pos Ceil(FT_Pos v) { return (v + kPixel - 1) & -kPixel; }

// Some fonts store a negative descent in the unsigned field.
int WinDescent(const TT_OS2* os2) { return std::abs(static_cast<short>(os2->usWinDescent)); }

const TT_OS2* Os2Table(FT_Face face) {
  auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  return os2 && os2->version != 0xFFFF ? os2 : nullptr;
}

std::optional<VdmxEntry> LookUpVdmx(FT_Face face, int height) {
  FT_ULong length = 0;
  if (FT_Load_Sfnt_Table(face, TTAG_VDMX, 0, nullptr, &length) != 0 || length == 0) return std::nullopt;
  std::vector<std::uint8_t> table(length);
  if (FT_Load_Sfnt_Table(face, TTAG_VDMX, 0, table.data(), &length) != 0) return std::nullopt;
  return FindVdmxEntry(table, height);
}

// The em size GDI gives a height without a VDMX entry. A cell height is
// scaled by the em over the Windows ascent plus descent (hhea's when those
// are zero), rounded, then lowered by one if the cell would come out taller
// than asked.
int PpemForHeight(FT_Face face, int height) {
  constexpr int kMaxPpem = (1 << 16) - 1;
  if (height == 0) height = 16;
  if (height < 0) return height >= -kMaxPpem ? -height : 1;
  const TT_OS2* os2 = Os2Table(face);
  auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  FT_Long units = os2 ? os2->usWinAscent + WinDescent(os2) : 0;
  if (units == 0 && hhea) units = hhea->Ascender - hhea->Descender;
  if (units <= 0) units = face->units_per_EM;
  FT_Long ppem = FT_MulDiv(face->units_per_EM, height, units);
  if (ppem > 1 && FT_MulDiv(units, ppem, face->units_per_EM) > height) --ppem;
  if (ppem > kMaxPpem || ppem < 1) ppem = 1;
  return static_cast<int>(ppem);
}

bool HasTable(FT_Face face, FT_ULong tag) {
  FT_ULong length = 0;
  return FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) == 0 && length > 0;
}

bool SelectCharmap(FT_Face face) {
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0) return true;
  if (FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0) return true;
  return face->num_charmaps > 0 && FT_Set_Charmap(face, face->charmaps[0]) == 0;
}

// tmPitchAndFamily from the font's PANOSE classification.
BYTE PitchAndFamily(FT_Face face, const TT_OS2* os2, bool postScriptOutlines) {
  constexpr int kFamilyType = 0, kSerifStyle = 1, kProportion = 3;
  constexpr int kMonospaced = 9, kScript = 3, kDecorative = 4;
  const bool monospacedPanose = os2->panose[kProportion] == kMonospaced;
  BYTE value = (!FT_IS_FIXED_WIDTH(face) && !monospacedPanose) ? TMPF_FIXED_PITCH : 0;
  switch (os2->panose[kFamilyType]) {
    case kScript:
      value |= 0x40;  // FF_SCRIPT
      break;
    case kDecorative:
      value |= 0x50;  // FF_DECORATIVE
      break;
    default:
      if (value == 0 || monospacedPanose) {
        value = FF_MODERN;
      } else {
        const int serif = os2->panose[kSerifStyle];
        if (serif >= 2 && serif <= 10) value |= FF_ROMAN;
        if (serif >= 11 && serif <= 15) value |= FF_SWISS;
      }
  }
  value |= TMPF_VECTOR;
  value |= postScriptOutlines ? TMPF_DEVICE : TMPF_TRUETYPE;
  return value;
}

}  // namespace

std::unique_ptr<RealizedFont> RealizedFont::Open(const std::string& file, int faceIndex, const Request& request) {
  FreeTypeLibrary library = ProcessFreeType();
  if (!library) return nullptr;
  FT_Face raw = nullptr;
  if (FT_New_Face(library.get(), file.c_str(), faceIndex, &raw) != 0) return nullptr;
  FtFacePtr face(raw);
  if (!FT_IS_SCALABLE(raw) || raw->units_per_EM == 0) return nullptr;

  const auto vdmx = LookUpVdmx(raw, request.height);
  const int ppem = vdmx ? vdmx->ppem : PpemForHeight(raw, request.height);
  if (FT_Set_Pixel_Sizes(raw, 0, static_cast<FT_UInt>(ppem)) != 0) return nullptr;
  SelectCharmap(raw);

  std::unique_ptr<RealizedFont> font(new RealizedFont(std::move(library), std::move(face), ppem));
  font->ComputeTextMetrics(request, vdmx ? vdmx->yMax : 0, vdmx ? -vdmx->yMin : 0);
  return font;
}

RealizedFont::RealizedFont(FreeTypeLibrary library, FtFacePtr face, int ppem)
    : library_(std::move(library)), face_(std::move(face)), ppem_(ppem) {}

// The face goes before the library it was made from.
RealizedFont::~RealizedFont() { face_.reset(); }

void RealizedFont::ComputeTextMetrics(const Request& request, int vdmxAscent, int vdmxDescent) {
  FT_Face face = face_.get();
  TEXTMETRICA& tm = metrics_;
  const TT_OS2* os2 = Os2Table(face);
  auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  const bool italicFace = face->style_flags & FT_STYLE_FLAG_ITALIC;
  tm.tmItalic = (request.italic || italicFace) ? 255 : 0;
  tm.tmUnderlined = request.underline ? 255 : 0;
  tm.tmStruckOut = request.strikeOut ? 255 : 0;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  const bool coversGbk = os2 && (os2->ulCodePageRange1 & (1u << 18));
  tm.tmCharSet = static_cast<BYTE>(request.charSet == DEFAULT_CHARSET ? (coversGbk ? GB2312_CHARSET : ANSI_CHARSET)
                                                                      : request.charSet);

  if (!os2 || !hhea) {
    // No Windows metrics: FreeType's own, as GDI does for such fonts.
    const FT_Size_Metrics& size = face->size->metrics;
    tm.tmAscent = static_cast<LONG>(size.ascender >> 6);
    tm.tmDescent = static_cast<LONG>(-size.descender >> 6);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = tm.tmHeight - size.y_ppem;
    tm.tmExternalLeading = std::max<LONG>(0, static_cast<LONG>(size.height >> 6) - tm.tmHeight);
    tm.tmMaxCharWidth = static_cast<LONG>(size.max_advance >> 6);
    tm.tmAveCharWidth = tm.tmMaxCharWidth * 2 / 3;
    tm.tmWeight = (face->style_flags & FT_STYLE_FLAG_BOLD) ? FW_BOLD : FW_NORMAL;
    tm.tmFirstChar = 1;
    tm.tmLastChar = 255;
    tm.tmDefaultChar = 32;
    tm.tmBreakChar = 32;
    tm.tmPitchAndFamily = (FT_IS_FIXED_WIDTH(face) ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR;
    return;
  }

  const FT_Long emScale = FT_MulDiv(ppem_, 1 << 16, face->units_per_EM);
  auto scale = [emScale](FT_Long v) { return static_cast<LONG>(FT_MulFix(v, emScale)); };
  FT_Long ascent = os2->usWinAscent;
  FT_Long descent = WinDescent(os2);
  if (ascent + descent == 0) {
    ascent = hhea->Ascender;
    descent = -hhea->Descender;
  }
  if (vdmxAscent != 0) {
    tm.tmAscent = vdmxAscent;
    tm.tmDescent = vdmxDescent;
    tm.tmInternalLeading = tm.tmAscent + tm.tmDescent - face->size->metrics.y_ppem;
  } else {
    tm.tmAscent = scale(ascent);
    tm.tmDescent = scale(descent);
    tm.tmInternalLeading = scale(ascent + descent - face->units_per_EM);
  }
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmExternalLeading =
      std::max<LONG>(0, scale(hhea->Line_Gap - ((ascent + descent) - (hhea->Ascender - hhea->Descender))));
  tm.tmAveCharWidth = std::max<LONG>(1, scale(os2->xAvgCharWidth));
  tm.tmMaxCharWidth = scale(face->bbox.xMax - face->bbox.xMin);

  tm.tmWeight = FW_REGULAR;
  if (face->style_flags & FT_STYLE_FLAG_BOLD) {
    if (os2->usWeightClass > FW_MEDIUM) tm.tmWeight = os2->usWeightClass;
  } else if (os2->usWeightClass <= FW_MEDIUM) {
    tm.tmWeight = os2->usWeightClass;
  }

  // The character range, as the ANSI call narrows it to bytes.
  const bool postScriptOutlines = HasTable(face, TTAG_CFF);
  tm.tmPitchAndFamily = PitchAndFamily(face, os2, postScriptOutlines);
  const bool symbol = (face->charmap && face->charmap->encoding == FT_ENCODING_MS_SYMBOL) ||
                      (os2->usFirstCharIndex >= 0xF000 && os2->usFirstCharIndex < 0xF100);
  unsigned first = 0, last = 0xFF, breakChar = 0x20, defaultChar = 0x1F;
  if (!symbol) {
    first = os2->usFirstCharIndex;
    last = os2->usLastCharIndex;
    breakChar = first <= 1 ? first + 2 : (first > 0xFF ? 0x20 : first);
    defaultChar = breakChar - 1;
  }
  tm.tmFirstChar = static_cast<BYTE>(std::min(first, 0xFFu));
  tm.tmLastChar = static_cast<BYTE>(std::min(last, 0xFFu));
  if (tm.tmCharSet == SYMBOL_CHARSET) {
    tm.tmFirstChar = 0x1E;
    tm.tmLastChar = 0xFF;
  } else if (tm.tmPitchAndFamily & TMPF_TRUETYPE) {
    tm.tmFirstChar = static_cast<BYTE>(defaultChar - 1);
  }
  tm.tmDefaultChar = static_cast<BYTE>(defaultChar);
  tm.tmBreakChar = static_cast<BYTE>(breakChar);
}

unsigned RealizedFont::GlyphIndex(char32_t character) const {
  FT_Face face = face_.get();
  if (face->charmap && face->charmap->encoding == FT_ENCODING_MS_SYMBOL) {
    // Symbol fonts keep their glyphs at U+F000 + code; older ones at the code.
    const FT_ULong shifted = character < 0x100 ? character + 0xF000 : character;
    if (FT_UInt index = FT_Get_Char_Index(face, shifted)) return index;
    return FT_Get_Char_Index(face, shifted - (shifted >= 0xF000 ? 0xF000 : 0));
  }
  return FT_Get_Char_Index(face, character);
}

unsigned RealizedFont::DefaultGlyph() const {
  const TT_OS2* os2 = Os2Table(face_.get());
  if (!os2 || os2->usDefaultChar == 0) return 0;
  return GlyphIndex(os2->usDefaultChar);
}

bool RealizedFont::LoadGlyph(unsigned glyph, FT_Int32 flags) {
  if (loaded_ && loadedGlyph_ == glyph && loadedFlags_ == flags) return true;
  loaded_ = false;
  FT_Face face = face_.get();
  FT_Error error = FT_Load_Glyph(face, glyph, flags);
  // A glyph whose hinting program fails is drawn unhinted rather than not at all.
  if (error != 0 && !(flags & FT_LOAD_NO_HINTING)) error = FT_Load_Glyph(face, glyph, flags | FT_LOAD_NO_HINTING);
  if (error != 0 || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  loaded_ = true;
  loadedGlyph_ = glyph;
  loadedFlags_ = flags;
  return true;
}

DWORD RealizedFont::GlyphOutline(unsigned glyph, UINT format, GLYPHMETRICS* metrics, DWORD bufferSize, void* buffer) {
  const bool unhinted = format & GGO_UNHINTED;
  format &= ~GGO_UNHINTED;
  int maxLevel = 0;
  switch (format) {
    case GGO_METRICS:
      break;
    case GGO_GRAY2_BITMAP:
      maxLevel = 4;
      break;
    case GGO_GRAY4_BITMAP:
      maxLevel = 16;
      break;
    case GGO_GRAY8_BITMAP:
      maxLevel = 64;
      break;
    default:
      return GDI_ERROR;
  }
  const FT_Int32 flags = FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH | FT_LOAD_TARGET_NORMAL | FT_LOAD_NO_BITMAP |
                         (unhinted ? FT_LOAD_NO_HINTING : 0);
  if (!LoadGlyph(glyph, flags)) return GDI_ERROR;
  FT_GlyphSlot slot = face_->glyph;

  // The box never reaches above the font's ascent or below its descent.
  FT_Glyph_Metrics m = slot->metrics;
  const FT_Pos top = std::min<FT_Pos>(m.horiBearingY, static_cast<FT_Pos>(metrics_.tmAscent) * kPixel);
  const FT_Pos bottom = std::max<FT_Pos>(m.horiBearingY - m.height, -static_cast<FT_Pos>(metrics_.tmDescent) * kPixel);
  m.horiBearingY = top;
  m.height = std::max<FT_Pos>(0, top - bottom);

  const FT_Pos xMin = Floor(m.horiBearingX);
  const FT_Pos xMax = Ceil(m.horiBearingX + m.width);
  const FT_Pos yMax = Ceil(m.horiBearingY);
  const FT_Pos yMin = Floor(m.horiBearingY - m.height);
  const auto width = static_cast<DWORD>((xMax - xMin) / kPixel);
  const auto height = static_cast<DWORD>((yMax - yMin) / kPixel);

  GLYPHMETRICS gm{};
  gm.gmBlackBoxX = std::max<UINT>(1, width);
  gm.gmBlackBoxY = std::max<UINT>(1, height);
  gm.gmptGlyphOrigin.x = static_cast<LONG>(xMin / kPixel);
  gm.gmptGlyphOrigin.y = static_cast<LONG>(yMax / kPixel);
  gm.gmCellIncX = static_cast<short>(Ceil(m.horiAdvance) / kPixel);
  gm.gmCellIncY = 0;
  if (metrics) *metrics = gm;
  if (format == GGO_METRICS) return 1;

  const DWORD pitch = (width + 3) / 4 * 4;
  const unsigned long long needed64 = static_cast<unsigned long long>(pitch) * height;
  if (needed64 >= GDI_ERROR) return GDI_ERROR;
  const auto needed = static_cast<DWORD>(needed64);
  if (!buffer || bufferSize == 0) return needed;
  if (needed == 0 || needed > bufferSize) return GDI_ERROR;

  auto* bytes = static_cast<unsigned char*>(buffer);
  std::memset(bytes, 0, bufferSize);
  FT_Bitmap bitmap{};
  bitmap.rows = height;
  bitmap.width = width;
  bitmap.pitch = static_cast<int>(pitch);
  bitmap.buffer = bytes;
  bitmap.num_grays = 256;
  bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
  // Drawn with the box's bottom left corner at the bitmap's origin; the
  // outline is moved back after, so that the glyph stays loaded.
  FT_Outline_Translate(&slot->outline, -xMin, -yMin);
  const FT_Error error = FT_Outline_Get_Bitmap(library_.get(), &slot->outline, &bitmap);
  FT_Outline_Translate(&slot->outline, xMin, yMin);
  if (error != 0) return GDI_ERROR;

  for (DWORD row = 0; row < height; ++row) {
    unsigned char* line = bytes + static_cast<size_t>(row) * pitch;
    for (DWORD column = 0; column < width; ++column)
      line[column] = static_cast<unsigned char>(line[column] * (maxLevel + 1) / 256);
  }
  return needed;
}

}  // namespace qzf
