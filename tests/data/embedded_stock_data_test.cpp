// A program built with qzf_embed_stock_data carries the chosen font file and
// dictionary as data blocks 130 and 131.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fileutil/extract_data_resource.h"
#include "platform/win32.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

// One read call for the whole file: byte-wise stream reading of 20 MB takes
// many seconds under Wine.
std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return "(cannot read " + path.string() + ")";
  std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

TEST(EmbeddedStockDataTest, Blocks130And131AreTheChosenFilesByteForByte) {
  test::ScratchDir dir;
  const std::string font = dir.File("F_FONTJ.qzf");
  const std::string dictionary = dir.File("DATA1");
  ASSERT_EQ(ExtractDataResource(MAKEINTRESOURCEA(130), font.c_str()), 1);
  ASSERT_EQ(ExtractDataResource(MAKEINTRESOURCEA(131), dictionary.c_str()), 1);
  // Read back through the file system's own paths, not the tool's byte paths.
  const std::string fontBytes = ReadWhole(dir.path() / "F_FONTJ.qzf");
  const std::string stockFont = ReadWhole(QZF_STOCK_FONT_PATH);
  EXPECT_EQ(fontBytes.size(), stockFont.size());
  EXPECT_TRUE(fontBytes == stockFont);
  EXPECT_TRUE(ReadWhole(dir.path() / "DATA1") == ReadWhole(QZF_STOCK_DICT_PATH));
  EXPECT_EQ(ExtractDataResource(MAKEINTRESOURCEA(132), dir.File("none").c_str()), 0);
}

}  // namespace
}  // namespace qzf
