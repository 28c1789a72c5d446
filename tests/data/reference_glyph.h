// An independent rendering of a character in the stand-in's Japanese font,
// to recognise what a cell shows. Only where FreeType and fontconfig are at
// hand (the native build).
#pragma once

#include <optional>

#include "tests/data/grey_image.h"

namespace qzf::test {

// `c` drawn by FreeType from the font fontconfig gives for "IPAGothic", at
// `pixels` pixels per em; nullopt when the font or the glyph is missing.
std::optional<GreyImage> RenderReferenceGlyph(char32_t c, int pixels);

}  // namespace qzf::test
