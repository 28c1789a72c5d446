#include "preview/code_positions.h"

#include "fontpatch/font_format.h"

namespace qzf {

CodePositions::CodePositions(const unsigned char* image) : first_(0x10000, kNone) {
  const std::uint32_t count = ReadGlyphCount(image);
  // Backwards, so that a code standing twice keeps its first position.
  for (std::uint32_t i = count; i-- > 0;) first_[CodeAt(image, i)] = i;
}

}  // namespace qzf
