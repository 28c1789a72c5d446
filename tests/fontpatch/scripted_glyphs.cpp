#include "tests/fontpatch/scripted_glyphs.h"

#include <cstring>

namespace qzf::test {
namespace {

GlyphScript script;
// Handles are addresses in these arrays: font i names the face fontFaces[i],
// context j holds the font selected into it.
constexpr std::size_t kHandles = 64;
char fakeFonts[kHandles];
char fakeDcs[kHandles];
std::string fontFaces[kHandles];
int fontHeights[kHandles];
int dcFonts[kHandles];

std::size_t FontIndex(const void* handle) {
  return static_cast<std::size_t>(static_cast<const char*>(handle) - fakeFonts);
}
std::size_t DcIndex(const void* handle) { return static_cast<std::size_t>(static_cast<const char*>(handle) - fakeDcs); }

// The height of the font selected into a context.
int HeightOf(HDC dc) {
  const int font = dcFonts[DcIndex(dc) % kHandles];
  return font >= 0 ? fontHeights[font] : 0;
}

// The glyph of a character, from the face's map or from the sized source;
// null when the face has none.
const ScriptedGlyph* FindGlyph(HDC dc, const std::map<unsigned, ScriptedGlyph>& glyphs, unsigned character) {
  const auto found = glyphs.find(character);
  if (found != glyphs.end()) return &found->second;
  if (&glyphs == &script.glyphsByIndex || !script.sizedGlyph) return nullptr;
  // One drawing thread at a time asks the scripted calls (no workers for them).
  static ScriptedGlyph sized;
  sized = script.sizedGlyph(character, HeightOf(dc));
  return &sized;
}

// The glyphs of the face selected into a context.
const std::map<unsigned, ScriptedGlyph>& GlyphsOf(HDC dc) {
  const int font = dcFonts[DcIndex(dc) % kHandles];
  if (font >= 0) {
    const auto other = script.otherFaces.find(fontFaces[font]);
    if (other != script.otherFaces.end() && fontFaces[font] != script.faceAsked) return other->second;
  }
  return script.glyphs;
}

HFONT WINAPI CreateFontScripted(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD charSet, DWORD,
                                DWORD, DWORD, DWORD, LPCSTR face) {
  // The first font of a script is the face; the ones after it its fallbacks.
  if (script.fontsCreated == 0) {
    script.fontHeightAsked = height;
    script.faceAsked = face ? face : "";
    script.weightAsked = weight;
    script.italicAsked = italic != 0;
    script.charSetAsked = static_cast<int>(charSet);
  }
  if (script.failCreateFont) return nullptr;
  const auto index = static_cast<std::size_t>(script.fontsCreated++) % kHandles;
  fontFaces[index] = face ? face : "";
  fontHeights[index] = height;
  return reinterpret_cast<HFONT>(&fakeFonts[index]);
}
HDC WINAPI CreateDcScripted(HDC) {
  if (script.failCreateDc) return nullptr;
  const auto index = static_cast<std::size_t>(script.contextsCreated++) % kHandles;
  dcFonts[index] = -1;
  return reinterpret_cast<HDC>(&fakeDcs[index]);
}
HGDIOBJ WINAPI SelectScripted(HDC dc, HGDIOBJ font) {
  const std::size_t index = FontIndex(font);
  if (index < kHandles) dcFonts[DcIndex(dc) % kHandles] = static_cast<int>(index);
  return nullptr;
}
BOOL WINAPI MetricsScripted(HDC, LPTEXTMETRICA metrics) {
  *metrics = TEXTMETRICA{};
  metrics->tmAscent = script.ascent;
  return TRUE;
}
DWORD WINAPI OutlineScripted(HDC dc, UINT character, UINT format, LPGLYPHMETRICS metrics, DWORD bufferSize,
                             LPVOID buffer, const MAT2* transform) {
  const UINT plain = format & ~GGO_GLYPH_INDEX;
  if ((plain != GGO_GRAY4_BITMAP && plain != GGO_BITMAP) || transform == nullptr || transform->eM11.value != 1 ||
      transform->eM22.value != 1 || transform->eM12.value != 0 || transform->eM21.value != 0)
    return GDI_ERROR;
  // One glyph asked for, whether by a size query and a fetch or by a fetch
  // alone: consecutive calls for one glyph count once.
  static const void* lastDc = nullptr;
  static UINT lastCharacter = 0, lastFormat = 0;
  static int lastFont = -2;
  const int font = dcFonts[DcIndex(dc) % kHandles];
  const bool again = script.charactersAsked.size() > 0 && dc == lastDc && character == lastCharacter &&
                     format == lastFormat && font == lastFont;
  if (!again) {
    script.charactersAsked.push_back(character);
    script.formatsAsked.push_back(format);
  }
  lastDc = dc;
  lastCharacter = character;
  lastFormat = format;
  lastFont = font;
  const auto& glyphs = (format & GGO_GLYPH_INDEX) ? script.glyphsByIndex : GlyphsOf(dc);
  const ScriptedGlyph* found = FindGlyph(dc, glyphs, character);
  if (found == nullptr || found->error) return GDI_ERROR;
  const ScriptedGlyph& g = *found;
  const std::vector<unsigned char>& bytes = (format & ~GGO_GLYPH_INDEX) == GGO_BITMAP ? g.bits : g.bytes;
  metrics->gmBlackBoxX = g.width;
  metrics->gmBlackBoxY = g.height;
  metrics->gmptGlyphOrigin.x = g.originX;
  metrics->gmptGlyphOrigin.y = g.originY;
  const auto size = static_cast<DWORD>(bytes.size());
  if (buffer == nullptr || bufferSize == 0) return size;
  if (bufferSize < size) return GDI_ERROR;
  if (size != 0) std::memcpy(buffer, bytes.data(), size);
  return size;
}
DWORD WINAPI IndicesScripted(HDC dc, LPCSTR text, int length, LPWORD indices, DWORD) {
  if (length != 2) return GDI_ERROR;
  const unsigned code = static_cast<unsigned char>(text[0]) * 256u + static_cast<unsigned char>(text[1]);
  const ScriptedGlyph* found = FindGlyph(dc, GlyphsOf(dc), code);
  indices[0] = (found == nullptr || found->missing) ? 0xFFFF : 1;
  return 1;
}
DWORD WINAPI IndicesWScripted(HDC, LPCWSTR text, int length, LPWORD indices, DWORD) {
  for (int i = 0; i < length; ++i)
    indices[i] = script.glyphsByIndex.count(text[i]) ? static_cast<WORD>(text[i]) : WORD{0xFFFF};
  return static_cast<DWORD>(length);
}
int WINAPI FaceScripted(HDC, int size, LPSTR face) {
  const int n = static_cast<int>(script.faceFound.size());
  if (size <= n) return 0;
  std::memcpy(face, script.faceFound.c_str(), static_cast<size_t>(n) + 1);
  return n;
}
BOOL WINAPI DeleteDcScripted(HDC) {
  ++script.contextsDeleted;
  return TRUE;
}
BOOL WINAPI DeleteObjectScripted(HGDIOBJ) {
  ++script.fontsDeleted;
  return TRUE;
}

const GlyphRenderOps kOps{&CreateFontScripted,   &CreateDcScripted, &SelectScripted, &MetricsScripted,
                          &OutlineScripted,      &IndicesScripted,  &FaceScripted,   &DeleteDcScripted,
                          &DeleteObjectScripted, &IndicesWScripted};

}  // namespace

GlyphScript& Script() { return script; }
const GlyphRenderOps& ScriptedOps() { return kOps; }

}  // namespace qzf::test
