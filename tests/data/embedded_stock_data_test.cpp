// A program built with qzf_embed_stock_data carries the chosen font file and
// dictionary as data blocks 130 and 131.
#include <gtest/gtest.h>

#include <string>

#include "fileutil/extract_data_resource.h"
#include "platform/win32.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

TEST(EmbeddedStockDataTest, Blocks130And131AreTheChosenFilesByteForByte) {
  test::ScratchDir dir;
  const std::string font = dir.File("F_FONTJ.qzf");
  const std::string dictionary = dir.File("DATA1");
  ASSERT_EQ(ExtractDataResource(MAKEINTRESOURCEA(130), font.c_str()), 1);
  ASSERT_EQ(ExtractDataResource(MAKEINTRESOURCEA(131), dictionary.c_str()), 1);
  const std::string fontBytes = test::ReadBytes(font);
  EXPECT_EQ(fontBytes.size(), test::ReadBytes(QZF_STOCK_FONT_PATH).size());
  EXPECT_TRUE(fontBytes == test::ReadBytes(QZF_STOCK_FONT_PATH));
  EXPECT_TRUE(test::ReadBytes(dictionary) == test::ReadBytes(QZF_STOCK_DICT_PATH));
  EXPECT_EQ(ExtractDataResource(MAKEINTRESOURCEA(132), dir.File("none").c_str()), 0);
}

}  // namespace
}  // namespace qzf
