#include "platform/fontengine/realized_font.h"

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "platform/fontengine/vdmx_table.h"

namespace qzf {
namespace {

constexpr FT_Pos kPixel = 64;  // one pixel in 26.6 fixed point

// The slant of a made up italic: x += y / 4.
constexpr FT_Matrix kSlant = {1 << 16, 1 << 14, 0, 1 << 16};

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
  FtFacePtr face = OpenFontFace(file, faceIndex);
  if (!face) return nullptr;
  FT_Face raw = face.get();
  if (!FT_IS_SCALABLE(raw) || raw->units_per_EM == 0) return nullptr;

  const auto vdmx = LookUpVdmx(raw, request.height);
  const int ppem = vdmx ? vdmx->ppem : PpemForHeight(raw, request.height);
  if (FT_Set_Pixel_Sizes(raw, 0, static_cast<FT_UInt>(ppem)) != 0) return nullptr;
  SelectCharmap(raw);

  std::unique_ptr<RealizedFont> font(new RealizedFont(std::move(library), std::move(face), ppem, request));
  font->ComputeTextMetrics(request, vdmx ? vdmx->yMax : 0, vdmx ? -vdmx->yMin : 0);
  font->PrepareAdvance();
  if (font->fakeBold_) {
    // The made up bold widens every glyph by a pixel.
    ++font->metrics_.tmAveCharWidth;
    ++font->metrics_.tmMaxCharWidth;
  }
  return font;
}

// Bold and italic are made up when the face's own style (its OS/2 selection
// flags, else FreeType's style flags) lacks what was asked for; GDI counts a
// weight above 550 as bold.
RealizedFont::RealizedFont(FreeTypeLibrary library, FtFacePtr face, int ppem, const Request& request)
    : library_(std::move(library)), face_(std::move(face)), ppem_(ppem) {
  constexpr FT_UShort kSelectionItalic = 0x01, kSelectionBold = 0x20;
  const TT_OS2* os2 = Os2Table(face_.get());
  const bool boldFace = os2 ? (os2->fsSelection & kSelectionBold) : (face_->style_flags & FT_STYLE_FLAG_BOLD);
  const bool italicFace = os2 ? (os2->fsSelection & kSelectionItalic) : (face_->style_flags & FT_STYLE_FLAG_ITALIC);
  fakeBold_ = request.weight > 550 && !boldFace;
  fakeItalic_ = request.italic && !italicFace;
}

// The face goes before the library it was made from.
RealizedFont::~RealizedFont() { face_.reset(); }

void RealizedFont::ComputeTextMetrics(const Request& request, int vdmxAscent, int vdmxDescent) {
  FT_Face face = face_.get();
  TEXTMETRICA& tm = metrics_;
  const TT_OS2* os2 = Os2Table(face);
  auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  const bool italicFace = face->style_flags & FT_STYLE_FLAG_ITALIC;
  tm.tmItalic = (fakeItalic_ || italicFace) ? 255 : 0;
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
    tm.tmWeight = (fakeBold_ || (face->style_flags & FT_STYLE_FLAG_BOLD)) ? FW_BOLD : FW_NORMAL;
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
  if (fakeBold_) {
    tm.tmWeight = FW_BOLD;
  } else if (face->style_flags & FT_STYLE_FLAG_BOLD) {
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
  if (error != 0) return false;
  FT_GlyphSlot slot = face->glyph;
  const bool outline = slot->format == FT_GLYPH_FORMAT_OUTLINE;
  if (!outline && !(slot->format == FT_GLYPH_FORMAT_BITMAP && slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO))
    return false;

  loadedMetrics_ = slot->metrics;
  if (fakeBold_) {
    // Thickened by an em/24; the box is then the outline's control box. A
    // strike cannot be thickened: its box just grows a pixel.
    if (outline && FT_Outline_Embolden(&slot->outline, FT_MulDiv(ppem_, kPixel, 24)) == 0) {
      FT_BBox box;
      FT_Outline_Get_CBox(&slot->outline, &box);
      loadedMetrics_.width = box.xMax - box.xMin;
      loadedMetrics_.height = box.yMax - box.yMin;
      loadedMetrics_.horiBearingX = box.xMin;
      loadedMetrics_.horiBearingY = box.yMax;
    } else if (loadedMetrics_.width != 0) {
      loadedMetrics_.width += kPixel;
    }
  }
  loaded_ = true;
  loadedGlyph_ = glyph;
  loadedFlags_ = flags;
  return true;
}

// The advance in 26.6 pixels, rounded up to a whole pixel. In a monospaced
// face a full-width glyph is given exactly twice the average width; a made
// up bold adds a pixel.
void RealizedFont::PrepareAdvance() {
  const TT_OS2* os2 = Os2Table(face_.get());
  if (os2 && FT_Get_Sfnt_Table(face_.get(), FT_SFNT_HHEA) && !(metrics_.tmPitchAndFamily & TMPF_FIXED_PITCH)) {
    const FT_Long emScale = FT_MulDiv(ppem_, 1 << 16, face_->units_per_EM);
    averageWidth_ = FT_MulFix(os2->xAvgCharWidth, emScale);
    doubleAverageWidth_ = FT_MulFix(os2->xAvgCharWidth * 2, emScale);
  }
}

FT_Pos RealizedFont::Advance(FT_Pos designAdvance) const {
  FT_Pos advance = designAdvance;
  if (averageWidth_ > 0 && (designAdvance + kPixel - 1) / kPixel == doubleAverageWidth_)
    advance = averageWidth_ * 2 * kPixel;
  if (fakeBold_) advance += kPixel;
  return Ceil(advance);
}

bool RealizedFont::RasterizeOutline(const FT_BBox& box, FT_Bitmap& bitmap) {
  FT_Outline& outline = face_->glyph->outline;
  if (fakeItalic_) {
    // The slot keeps the upright outline for the fetch that follows a size query.
    OutlineCopy slanted(library_.get(), outline);
    if (!slanted.ok()) return false;
    FT_Outline_Transform(slanted.get(), &kSlant);
    FT_Outline_Translate(slanted.get(), -box.xMin, -box.yMin);
    return FT_Outline_Get_Bitmap(library_.get(), slanted.get(), &bitmap) == 0;
  }
  // Moved back after, so that the glyph stays loaded.
  FT_Outline_Translate(&outline, -box.xMin, -box.yMin);
  const FT_Error error = FT_Outline_Get_Bitmap(library_.get(), &outline, &bitmap);
  FT_Outline_Translate(&outline, box.xMin, box.yMin);
  return error == 0;
}

// One bit a pixel, the leftmost in the top bit, rows padded to four bytes.
DWORD RealizedFont::RenderMono(const FT_BBox& box, DWORD bufferSize, unsigned char* buffer) {
  const auto width = static_cast<DWORD>((box.xMax - box.xMin) / kPixel);
  const auto height = static_cast<DWORD>((box.yMax - box.yMin) / kPixel);
  const DWORD pitch = (width + 31) / 32 * 4;
  const unsigned long long needed64 = static_cast<unsigned long long>(pitch) * height;
  if (needed64 >= GDI_ERROR) return GDI_ERROR;
  const auto needed = static_cast<DWORD>(needed64);
  if (!buffer || bufferSize == 0) return needed;
  if (needed == 0 || needed > bufferSize) return GDI_ERROR;
  // The bitmap's bytes, pads included, are written; the rest of the buffer
  // is left alone.
  std::memset(buffer, 0, needed);

  FT_GlyphSlot slot = face_->glyph;
  if (slot->format == FT_GLYPH_FORMAT_BITMAP) {
    // A strike's rows copied as they are; a made up bold ORs each row with
    // itself one pixel to the right.
    const FT_Bitmap& strike = slot->bitmap;
    const DWORD bytes = std::min<DWORD>(pitch, (strike.width + 7) / 8);
    const DWORD rows = std::min<DWORD>(height, strike.rows);
    for (DWORD row = 0; row < rows; ++row) {
      const unsigned char* source = strike.buffer + static_cast<std::ptrdiff_t>(row) * strike.pitch;
      unsigned char* target = buffer + static_cast<size_t>(row) * pitch;
      if (!fakeBold_) {
        std::memcpy(target, source, bytes);
        continue;
      }
      target[0] = 0;
      for (DWORD x = 0; x < bytes; ++x) {
        target[x] = static_cast<unsigned char>((target[x] & 0x80) | (source[x] >> 1) | source[x]);
        if (x + 1 < pitch) target[x + 1] = static_cast<unsigned char>((source[x] & 0x01) << 7);
      }
    }
    return needed;
  }

  std::memset(buffer, 0, needed);
  FT_Bitmap bitmap{};
  bitmap.rows = height;
  bitmap.width = width;
  bitmap.pitch = static_cast<int>(pitch);
  bitmap.buffer = buffer;
  bitmap.num_grays = 2;
  bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
  return RasterizeOutline(box, bitmap) ? needed : GDI_ERROR;
}

// One byte a pixel holding a level 0..maxLevel, rows padded to four bytes.
DWORD RealizedFont::RenderGrey(const FT_BBox& box, int maxLevel, DWORD bufferSize, unsigned char* buffer) {
  const auto width = static_cast<DWORD>((box.xMax - box.xMin) / kPixel);
  const auto height = static_cast<DWORD>((box.yMax - box.yMin) / kPixel);
  const DWORD pitch = (width + 3) / 4 * 4;
  const unsigned long long needed64 = static_cast<unsigned long long>(pitch) * height;
  if (needed64 >= GDI_ERROR) return GDI_ERROR;
  const auto needed = static_cast<DWORD>(needed64);
  if (!buffer || bufferSize == 0) return needed;
  if (needed == 0 || needed > bufferSize) return GDI_ERROR;

  std::memset(buffer, 0, needed);
  FT_Bitmap bitmap{};
  bitmap.rows = height;
  bitmap.width = width;
  bitmap.pitch = static_cast<int>(pitch);
  bitmap.buffer = buffer;
  bitmap.num_grays = 256;
  bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
  if (!RasterizeOutline(box, bitmap)) return GDI_ERROR;

  // Coverage v becomes v * levels / 256, in one run over the rows and their
  // pads (zero, and zero they stay) that the compiler can vectorise.
  const auto levels = static_cast<unsigned>(maxLevel + 1);
  for (DWORD i = 0; i < needed; ++i) buffer[i] = static_cast<unsigned char>(buffer[i] * levels >> 8);
  return needed;
}

DWORD RealizedFont::GlyphOutline(unsigned glyph, UINT format, GLYPHMETRICS* metrics, DWORD bufferSize, void* buffer) {
  const bool unhinted = format & GGO_UNHINTED;
  format &= ~GGO_UNHINTED;
  int maxLevel = 0;
  switch (format) {
    case GGO_METRICS:
    case GGO_BITMAP:
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
  // Hinted for the target the format is drawn for; embedded bitmaps only
  // for two-level glyphs drawn upright.
  FT_Int32 flags = FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH;
  if (unhinted) {
    flags |= FT_LOAD_NO_HINTING;
  } else {
    flags |= format == GGO_BITMAP ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
  }
  if (fakeItalic_ || format != GGO_BITMAP) flags |= FT_LOAD_NO_BITMAP;
  if (!LoadGlyph(glyph, flags)) return GDI_ERROR;

  // The box never reaches above the font's ascent or below its descent.
  FT_Glyph_Metrics m = loadedMetrics_;
  const FT_Pos top = std::min<FT_Pos>(m.horiBearingY, static_cast<FT_Pos>(metrics_.tmAscent) * kPixel);
  const FT_Pos bottom = std::max<FT_Pos>(m.horiBearingY - m.height, -static_cast<FT_Pos>(metrics_.tmDescent) * kPixel);
  m.horiBearingY = top;
  m.height = std::max<FT_Pos>(0, top - bottom);

  FT_BBox box{};
  if (fakeItalic_) {
    // The slanted corners of the upright box.
    for (int corner = 0; corner < 4; ++corner) {
      FT_Vector v{m.horiBearingX + (corner & 1) * m.width, m.horiBearingY - (corner >> 1) * m.height};
      FT_Vector_Transform(&v, &kSlant);
      if (corner == 0) {
        box = {v.x, v.y, v.x, v.y};
        continue;
      }
      box.xMin = std::min(box.xMin, v.x);
      box.xMax = std::max(box.xMax, v.x);
      box.yMin = std::min(box.yMin, v.y);
      box.yMax = std::max(box.yMax, v.y);
    }
  } else {
    box = {m.horiBearingX, m.horiBearingY - m.height, m.horiBearingX + m.width, m.horiBearingY};
  }
  box = {Floor(box.xMin), Floor(box.yMin), Ceil(box.xMax), Ceil(box.yMax)};

  GLYPHMETRICS gm{};
  gm.gmBlackBoxX = std::max<UINT>(1, static_cast<UINT>((box.xMax - box.xMin) / kPixel));
  gm.gmBlackBoxY = std::max<UINT>(1, static_cast<UINT>((box.yMax - box.yMin) / kPixel));
  gm.gmptGlyphOrigin.x = static_cast<LONG>(box.xMin / kPixel);
  gm.gmptGlyphOrigin.y = static_cast<LONG>(box.yMax / kPixel);
  gm.gmCellIncX = static_cast<short>(Advance(m.horiAdvance) / kPixel);
  gm.gmCellIncY = 0;
  if (metrics) *metrics = gm;

  auto* bytes = static_cast<unsigned char*>(buffer);
  if (format == GGO_METRICS) return 1;
  if (format == GGO_BITMAP) return RenderMono(box, bufferSize, bytes);
  return RenderGrey(box, maxLevel, bufferSize, bytes);
}

}  // namespace qzf
