// Cuts the blank byte 0x20 from both ends of a text.
#pragma once

#include <cstdint>

namespace qzf {

// Trailing blanks are replaced by NUL in place. Mode 0 returns a pointer past
// the leading blanks; mode 1 moves the text to the start of s and returns s.
// An empty or all-blank text gives s with length 0 in any mode; any other mode
// gives null. outLength (optional) receives the trimmed length; it is not
// written when the result is null.
char* TrimSpaces(char* s, std::uint32_t mode, std::uint32_t* outLength);

}  // namespace qzf
