// Code page 936 (GBK) to UTF-16 for one character at a time, as Windows
// converts the character codes of a GB2312_CHARSET font: a table built once
// per process, so that converting a glyph's code costs a lookup. Windows maps
// every well-formed double-byte code, the user-defined and unassigned ones to
// the private use area; iconv leaves those out, so they are added here.
#pragma once

namespace qzf {

// 0x81..0xFE: the first byte of a double-byte character.
inline bool IsCp936LeadByte(unsigned byte) { return byte >= 0x81 && byte <= 0xFE; }

// The UTF-16 unit of a double-byte character (lead << 8 | trail) or of a
// single byte below 0x100. 0 when code page 936 does not map it: a trail byte
// out of range, or a lead byte alone.
char16_t Cp936ToUnicode(unsigned code);

}  // namespace qzf
