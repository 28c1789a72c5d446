// The font calls a rewrite pass makes, one slot each. An empty slot means the
// platform's own call (GDI on Windows, the FreeType stand-ins natively); tests
// fill slots with a scripted glyph source to feed exact bitmaps and metrics.
#pragma once

#include "platform/win32.h"

namespace qzf {

using CreateFontFn = HFONT(WINAPI*)(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                    LPCSTR);
using CreateCompatibleDcFn = HDC(WINAPI*)(HDC);
using SelectObjectFn = HGDIOBJ(WINAPI*)(HDC, HGDIOBJ);
using GetTextMetricsFn = BOOL(WINAPI*)(HDC, LPTEXTMETRICA);
using GetGlyphOutlineFn = DWORD(WINAPI*)(HDC, UINT, UINT, LPGLYPHMETRICS, DWORD, LPVOID, const MAT2*);
using GetGlyphIndicesFn = DWORD(WINAPI*)(HDC, LPCSTR, int, LPWORD, DWORD);
using GetGlyphIndicesWFn = DWORD(WINAPI*)(HDC, LPCWSTR, int, LPWORD, DWORD);
using GetTextFaceFn = int(WINAPI*)(HDC, int, LPSTR);
using DeleteDcFn = BOOL(WINAPI*)(HDC);
using DeleteObjectFn = BOOL(WINAPI*)(HGDIOBJ);

struct GlyphRenderOps {
  CreateFontFn createFontFn = nullptr;
  CreateCompatibleDcFn createCompatibleDcFn = nullptr;
  SelectObjectFn selectObjectFn = nullptr;
  GetTextMetricsFn getTextMetricsFn = nullptr;
  GetGlyphOutlineFn getGlyphOutlineFn = nullptr;
  GetGlyphIndicesFn getGlyphIndicesFn = nullptr;
  GetTextFaceFn getTextFaceFn = nullptr;
  DeleteDcFn deleteDcFn = nullptr;
  DeleteObjectFn deleteObjectFn = nullptr;
  // Glyphs by Unicode, for faces drawn under a character set other than GB2312.
  GetGlyphIndicesWFn getGlyphIndicesWFn = nullptr;
};

// The record with every empty slot filled with the platform's call.
GlyphRenderOps ResolveGlyphRenderOps(const GlyphRenderOps* ops);

}  // namespace qzf
