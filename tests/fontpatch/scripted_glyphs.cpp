#include "tests/fontpatch/scripted_glyphs.h"

#include <cstring>

namespace qzf::test {
namespace {

GlyphScript script;
char fakeFont;
char fakeDc;

HFONT WINAPI CreateFontScripted(int height, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                LPCSTR face) {
  script.fontHeightAsked = height;
  script.faceAsked = face ? face : "";
  if (script.failCreateFont) return nullptr;
  ++script.fontsCreated;
  return reinterpret_cast<HFONT>(&fakeFont);
}
HDC WINAPI CreateDcScripted(HDC) {
  if (script.failCreateDc) return nullptr;
  ++script.contextsCreated;
  return reinterpret_cast<HDC>(&fakeDc);
}
HGDIOBJ WINAPI SelectScripted(HDC, HGDIOBJ) { return nullptr; }
BOOL WINAPI MetricsScripted(HDC, LPTEXTMETRICA metrics) {
  *metrics = TEXTMETRICA{};
  metrics->tmAscent = script.ascent;
  return TRUE;
}
DWORD WINAPI OutlineScripted(HDC, UINT character, UINT format, LPGLYPHMETRICS metrics, DWORD bufferSize, LPVOID buffer,
                             const MAT2* transform) {
  if (format != GGO_GRAY4_BITMAP || transform == nullptr || transform->eM11.value != 1 || transform->eM22.value != 1 ||
      transform->eM12.value != 0 || transform->eM21.value != 0)
    return GDI_ERROR;
  if (buffer == nullptr) script.charactersAsked.push_back(character);
  const auto found = script.glyphs.find(character);
  if (found == script.glyphs.end() || found->second.error) return GDI_ERROR;
  const ScriptedGlyph& g = found->second;
  metrics->gmBlackBoxX = g.width;
  metrics->gmBlackBoxY = g.height;
  metrics->gmptGlyphOrigin.x = g.originX;
  metrics->gmptGlyphOrigin.y = g.originY;
  const auto size = static_cast<DWORD>(g.bytes.size());
  if (buffer == nullptr || bufferSize == 0) return size;
  if (bufferSize < size) return GDI_ERROR;
  std::memcpy(buffer, g.bytes.data(), size);
  return size;
}
DWORD WINAPI IndicesScripted(HDC, LPCSTR text, int length, LPWORD indices, DWORD) {
  if (length != 2) return GDI_ERROR;
  const unsigned code = static_cast<unsigned char>(text[0]) * 256u + static_cast<unsigned char>(text[1]);
  const auto found = script.glyphs.find(code);
  indices[0] = (found == script.glyphs.end() || found->second.missing) ? 0xFFFF : 1;
  return 1;
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

const GlyphRenderOps kOps{&CreateFontScripted, &CreateDcScripted, &SelectScripted,
                          &MetricsScripted,    &OutlineScripted,  &IndicesScripted,
                          &FaceScripted,       &DeleteDcScripted, &DeleteObjectScripted};

}  // namespace

GlyphScript& Script() { return script; }
const GlyphRenderOps& ScriptedOps() { return kOps; }

}  // namespace qzf::test
