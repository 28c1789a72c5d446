// Finds the file of an installed font family through fontconfig.
#pragma once

#include <string>

namespace qzf::stock {

// The file fontconfig picks for `family`. Throws std::runtime_error when no
// installed font has exactly that family name (fontconfig would otherwise
// quietly substitute another font).
std::string FindFontFile(const std::string& family);

}  // namespace qzf::stock
