#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "tests/dict/dict_test_util.h"
#include "tests/support/file_bytes.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

using test::DictBlock;
using test::Entries;
using test::Entry;

const char kTrailer[] = "\r\n\r\n\r\ntolva_res_All_End\r\n";
const std::regex kBanner(
    "Marrowgate QorvStringDict::SaveToTXTFileA Ver\\.0\\.19 \\d{4}-\\d{2}-\\d{2} "
    "([01]\\d|2[0-3]):[0-5]\\d:[0-5]\\d\r\n\r\n\r\n");

class TextSaveTest : public ::testing::Test {
 protected:
  std::string Saved() { return test::ReadBytes(dir.File("saved.txt")); }
  test::ScratchDir dir;
  std::string path = test::WinPath(dir.File("saved.txt"));
};

TEST_F(TextSaveTest, WritesBannerBlocksAndTrailerThatLoadBack) {
  QorvStringDict dict;
  dict.AddRecordA("\x81\x40", "\xA1\xA1", "");
  dict.AddRecordA("\x81\x41", "two\r\nlines", "r");
  const std::string blocks =
      DictBlock(0, {"\x81\x40", "\xA1\xA1", ""}) + DictBlock(1, {"\x81\x41", "two\r\nlines", "r"});
  const std::uint32_t written = dict.SaveToTXTFileA(path.c_str());
  const std::string saved = Saved();
  EXPECT_EQ(written, saved.size());
  const std::size_t bannerEnd = saved.find("\r\n\r\n\r\n") + 6;
  EXPECT_TRUE(std::regex_match(saved.substr(0, bannerEnd), kBanner)) << saved.substr(0, bannerEnd);
  EXPECT_EQ(saved.substr(bannerEnd), blocks + kTrailer);
  // 161 bytes of markers per block, plus its texts.
  EXPECT_EQ(blocks.size(), 2 * 161u + (2 + 2 + 0) + (2 + 10 + 1));
  // An empty text still has its line.
  EXPECT_NE(saved.find("tolva_res_Remark00_Start\r\n\r\ntolva_res_Remark00_End\r\n"), std::string::npos);

  QorvStringDict loaded;
  ASSERT_EQ(loaded.LoadFromTXTFileA(path.c_str()), 2u);
  EXPECT_EQ(Entries(loaded), Entries(dict));
}

TEST_F(TextSaveTest, SavingTwiceAppendsASecondCompleteText) {
  QorvStringDict dict;
  dict.AddRecordA("a", "1", "x");
  dict.AddRecordA("b", "2", "y");
  const std::uint32_t first = dict.SaveToTXTFileA(path.c_str());
  const std::uint32_t second = dict.SaveToTXTFileA(path.c_str());
  EXPECT_EQ(Saved().size(), std::size_t{first} + second);
  QorvStringDict loaded;
  ASSERT_EQ(loaded.LoadFromTXTFileA(path.c_str()), 4u);
  const std::vector<Entry> once = Entries(dict);
  EXPECT_EQ(Entries(loaded), (std::vector<Entry>{once[0], once[1], once[0], once[1]}));
}

TEST_F(TextSaveTest, EmptyStoreWritesOnlyBannerAndTrailer) {
  QorvStringDict dict;
  const std::uint32_t written = dict.SaveToTXTFileA(path.c_str());
  const std::string saved = Saved();
  EXPECT_EQ(written, saved.size());
  ASSERT_GT(saved.size(), sizeof(kTrailer));
  EXPECT_TRUE(std::regex_match(saved.substr(0, saved.size() - (sizeof(kTrailer) - 1)), kBanner));
  EXPECT_EQ(saved.substr(saved.size() - (sizeof(kTrailer) - 1)), kTrailer);
}

TEST_F(TextSaveTest, NullOrUnwritablePathWritesNothing) {
  QorvStringDict dict;
  dict.AddRecordA("a", "1", "");
  EXPECT_EQ(dict.SaveToTXTFileA(nullptr), 0u);
  const std::string nowhere = test::WinPath(dir.File("no-such-dir")) + "\\x.txt";
  EXPECT_EQ(dict.SaveToTXTFileA(nowhere.c_str()), kDictSaveFailed);
  EXPECT_FALSE(test::Exists(dir.File("saved.txt")));
}

// A disk that fills up after the banner: the save says it failed (the sum of
// a good write and two failed ones used to look like a byte count), and
// nothing is appended after the gap.
TEST_F(TextSaveTest, ADiskFullAfterTheBannerIsAFailureAndNothingFollowsTheGap) {
  if (!test::FileSizeLimit::Available()) GTEST_SKIP() << "no file size limit here; the command-line test fills a disk";
  QorvStringDict dict;
  for (char c = 'a'; c <= 'z'; ++c) dict.AddRecordA(std::string(1, c).c_str(), "\xB0\xA1", "remark");
  std::uint32_t written = 0;
  {
    const test::FileSizeLimit limit(300);  // the banner fits, the entries do not
    written = dict.SaveToTXTFileA(path.c_str());
  }
  EXPECT_EQ(written, kDictSaveFailed);
  const std::string saved = Saved();
  EXPECT_EQ(saved.size(), 300u);
  EXPECT_EQ(saved.find("tolva_res_All_End"), std::string::npos);
}

TEST_F(TextSaveTest, EditedStoreWithBlanksRoundTrips) {
  QorvStringDict dict;
  dict.AddRecordA("a", "1", "r");
  dict.InsertBlankRecord(0);
  dict.SetCHIA(1, "longer text");
  dict.SetRemark00A(1, nullptr);
  ASSERT_EQ(dict.SaveToTXTFileA(path.c_str()) > 0, true);
  QorvStringDict loaded;
  ASSERT_EQ(loaded.LoadFromTXTFileA(path.c_str()), 2u);
  EXPECT_EQ(Entries(loaded), (std::vector<Entry>{{"", "", ""}, {"a", "longer text", ""}}));
}

// Texts of a binary image may share their bytes: the saved body can be larger
// than the text buffer and must still be written whole.
TEST_F(TextSaveTest, SharedTextsLargerThanTheBufferAreSavedWhole) {
  auto word = [](std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  // Every record: ENG "k" at 0, Remark00 the empty text at 1, and the same
  // CHI of 3000 bytes at 2.
  std::string image = word(1) + word(100);
  for (int i = 0; i < 100; ++i) image += word(0) + word(2) + word(1) + word(1) + word(3000) + word(0);
  image += std::string("k\0", 2) + std::string(3000, 'c') + std::string(1, '\0');
  test::WriteBytes(dir.File("shared.bin"), image);
  QorvStringDict dict;
  ASSERT_EQ(dict.LoadFromBINFileA(test::WinPath(dir.File("shared.bin")).c_str()), 100u);
  const std::uint32_t written = dict.SaveToTXTFileA(path.c_str());
  EXPECT_EQ(written, Saved().size());
  QorvStringDict loaded;
  ASSERT_EQ(loaded.LoadFromTXTFileA(path.c_str()), 100u);
  EXPECT_EQ(Entries(loaded), Entries(dict));
}

}  // namespace
}  // namespace qzf
