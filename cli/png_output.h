#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qzf::cli {

// Writes grey levels 0..15 (ink dark on light) as a PNG enlarged by `scale`;
// the exit status.
int WriteGreyPng(const std::string& utf8Path, const std::vector<std::uint8_t>& levels, std::uint32_t width,
                 std::uint32_t height, int scale);

// Writes 8-bit RGB pixels as a PNG; the exit status.
int WriteRgbPng(const std::string& utf8Path, const std::vector<std::uint8_t>& rgb, std::uint32_t width,
                std::uint32_t height);

}  // namespace qzf::cli
