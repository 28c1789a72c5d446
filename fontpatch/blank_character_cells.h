// The cells of a font file that are blank although the dictionary gives
// their code a character: what a build left undrawn, or a file made with
// another dictionary. A cell for the ideographic space is blank by right and
// is not listed.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "fontpatch/font_format.h"
#include "fontpatch/patch_pass.h"

namespace qzf {

// Per size (SizeModeTable order), in code-table order; `pixels` stays 0. The
// image must pass the font file test.
std::array<std::vector<GlyphFinding>, SizeModeTable.size()> FindBlankCharacterCells(
    std::span<const unsigned char> image, const QorvStringDict& dictionary);

}  // namespace qzf
