// Native stand-ins for the GDI font calls the glyph rewrite pass and the font
// listing use, drawn with FreeType from fonts found through fontconfig. They
// follow Windows' conventions: a GBK face name under GB2312_CHARSET, a
// positive height as the character cell height, GGO_GRAY4_BITMAP rows padded
// to four bytes with levels 0..16, GDI_ERROR where GDI gives it.
//
// Provided: GGO_METRICS, GGO_BITMAP and the grey formats (2, 4, 8 bits) with
// the identity transform, optionally GGO_GLYPH_INDEX and GGO_UNHINTED; fonts
// of any weight, italic or not, with bold and oblique made up where the face
// has none. Other formats and other transforms give GDI_ERROR.
//
// AddFontResourceExA makes a font file usable by this process (whatever the
// flags: FR_PRIVATE is the only kind there is here, and the font is listed
// with the installed faces also under FR_NOT_ENUM).
#pragma once

#include "platform/base/gdi_types.h"

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                         DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);
HDC WINAPI CreateCompatibleDC(HDC dc);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
BOOL WINAPI DeleteObject(HGDIOBJ object);
BOOL WINAPI DeleteDC(HDC dc);
BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics);
DWORD WINAPI GetGlyphOutlineA(HDC dc, UINT character, UINT format, LPGLYPHMETRICS metrics, DWORD bufferSize,
                              LPVOID buffer, const MAT2* transform);
DWORD WINAPI GetGlyphIndicesA(HDC dc, LPCSTR text, int length, LPWORD indices, DWORD flags);
DWORD WINAPI GetGlyphIndicesW(HDC dc, LPCWSTR text, int length, LPWORD indices, DWORD flags);
int WINAPI GetTextFaceA(HDC dc, int size, LPSTR faceName);
int WINAPI AddFontResourceExA(LPCSTR fileName, DWORD flags, LPVOID reserved);
BOOL WINAPI RemoveFontResourceExA(LPCSTR fileName, DWORD flags, LPVOID reserved);
