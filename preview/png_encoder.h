#pragma once

#include <cstdint>
#include <vector>

namespace qzf {

// A PNG of 8-bit pixels with 1 (grey) or 3 (RGB) channels, rows top first.
// Empty when the picture is empty, the sizes disagree or the memory to
// compress it cannot be had.
std::vector<unsigned char> EncodePng(const std::vector<std::uint8_t>& pixels, std::uint32_t width, std::uint32_t height,
                                     int channels);

}  // namespace qzf
