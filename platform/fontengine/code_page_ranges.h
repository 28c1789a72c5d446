// Which character sets a face serves, as GDI judges it when it picks a face
// for a logical font: the code page bits of the face's OS/2 table against
// the bit of the character set asked for. A face that lacks the bit is
// passed over even when its name was asked for.
#pragma once

#include <cstdint>
#include <string>

namespace qzf {

// The code page bit (OS/2 ulCodePageRange1) a character set needs; 0 for
// DEFAULT_CHARSET and sets GDI does not know, which any face serves.
std::uint32_t CodePageBitOfCharSet(int charSet);

// The face's code page bits: its OS/2 ulCodePageRange1; for a version 0
// table Latin 1 (or Symbol for a symbol font); without one, Latin 1 and
// Symbol as its character maps say. 0 when the face cannot be read.
std::uint32_t FaceCodePages(const std::string& file, int faceIndex);

}  // namespace qzf
