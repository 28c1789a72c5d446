#include "cli/png_output.h"

#include "cli/cli_language.h"
#include "cli/output_file.h"
#include "cli/terminal.h"
#include "preview/png_encoder.h"

namespace qzf::cli {
namespace {

int WritePng(const std::string& utf8Path, const std::vector<unsigned char>& png) {
  if (png.empty()) return Error(Text(MessageId::kCannotEncodePicture));
  if (const int status = WriteOutputFile(utf8Path, png)) return status;
  std::printf("%s\n", Text(MessageId::kWrote, utf8Path).c_str());
  return 0;
}

}  // namespace

int WriteGreyPng(const std::string& utf8Path, const std::vector<std::uint8_t>& levels, std::uint32_t width,
                 std::uint32_t height, int scale) {
  const std::uint32_t w = width * static_cast<std::uint32_t>(scale);
  const std::uint32_t h = height * static_cast<std::uint32_t>(scale);
  std::vector<std::uint8_t> grey(std::size_t{w} * h);
  for (std::uint32_t y = 0; y < h; ++y) {
    for (std::uint32_t x = 0; x < w; ++x) {
      const std::uint8_t level = levels[std::size_t{y / scale} * width + x / scale];
      grey[std::size_t{y} * w + x] = static_cast<std::uint8_t>(255 - level * 17);
    }
  }
  return WritePng(utf8Path, EncodePng(grey, w, h, 1));
}

int WriteRgbPng(const std::string& utf8Path, const std::vector<std::uint8_t>& rgb, std::uint32_t width,
                std::uint32_t height) {
  return WritePng(utf8Path, EncodePng(rgb, width, height, 3));
}

}  // namespace qzf::cli
