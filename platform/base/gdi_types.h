// The GDI types and constants of the native build, sized and valued as on
// Windows: handles, glyph and text metrics, the font and glyph-format flags.
// The font engine fills these records; the GDI stand-ins hand them out.
#pragma once

#include "platform/base/native_types.h"

struct HDC__;
using HDC = HDC__*;
struct HFONT__;
using HFONT = HFONT__*;
using HGDIOBJ = void*;
using LPWORD = WORD*;

struct POINT {
  LONG x;
  LONG y;
};

struct FIXED {
  WORD fract;
  short value;
};

struct MAT2 {
  FIXED eM11;
  FIXED eM12;
  FIXED eM21;
  FIXED eM22;
};

struct GLYPHMETRICS {
  UINT gmBlackBoxX;
  UINT gmBlackBoxY;
  POINT gmptGlyphOrigin;
  short gmCellIncX;
  short gmCellIncY;
};
using LPGLYPHMETRICS = GLYPHMETRICS*;

struct TEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
using LPTEXTMETRICA = TEXTMETRICA*;

#define GDI_ERROR (static_cast<DWORD>(0xFFFFFFFFu))
#define LF_FACESIZE 32

#define GGO_METRICS 0u
#define GGO_BITMAP 1u
#define GGO_NATIVE 2u
#define GGO_BEZIER 3u
#define GGO_GRAY2_BITMAP 4u
#define GGO_GRAY4_BITMAP 5u
#define GGO_GRAY8_BITMAP 6u
#define GGO_GLYPH_INDEX 0x0080u
#define GGO_UNHINTED 0x0100u

#define GGI_MARK_NONEXISTING_GLYPHS 0x0001u

// AddFontResourceExA: the font is this process's alone.
#define FR_PRIVATE 0x10u
#define FR_NOT_ENUM 0x20u

#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_REGULAR 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_HEAVY 900

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2
#define SHIFTJIS_CHARSET 128
#define GB2312_CHARSET 134
#define HANGEUL_CHARSET 129
#define CHINESEBIG5_CHARSET 136

#define OUT_DEFAULT_PRECIS 0
#define OUT_STRING_PRECIS 1
#define OUT_CHARACTER_PRECIS 2
#define OUT_TT_PRECIS 4
#define OUT_OUTLINE_PRECIS 8
#define CLIP_DEFAULT_PRECIS 0
#define CLIP_CHARACTER_PRECIS 1
#define DEFAULT_QUALITY 0
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30

// tmPitchAndFamily bits; TMPF_FIXED_PITCH set means a variable-pitch font.
#define TMPF_FIXED_PITCH 0x01
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04
#define TMPF_DEVICE 0x08
