// The character set to ask an installed face for. GDI passes over a face
// whose code pages lack the character set asked for (a Japanese face under
// GB2312_CHARSET gets a substitute), so a face that does not serve GB2312 is
// asked for under one it does serve, and its glyphs are then looked up by
// Unicode rather than by GBK code.
#pragma once

#include <optional>
#include <string>

namespace qzf {

// GB2312_CHARSET when the face serves it; otherwise the first it serves of
// Shift-JIS, Big5, Hangul, ANSI; nullopt when no installed face (private
// font files included) has the name, or it serves none of these. faceName:
// GBK, as CreateFontA takes it.
std::optional<int> FaceCharSet(const std::string& faceName);

}  // namespace qzf
