#pragma once

#include <optional>
#include <span>

namespace qzf {

// The bytes of the program's own "DATA" block `id`, read in place; nullopt
// when the program carries no such block.
std::optional<std::span<const unsigned char>> DataResourceBytes(int id);

}  // namespace qzf
