// Base64 (RFC 4648, with padding), the form a page sends a file's bytes in.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace qzf::studio {

// Nullopt on a character outside the alphabet or a wrong length or padding.
std::optional<std::vector<unsigned char>> DecodeBase64(std::string_view text);

}  // namespace qzf::studio
