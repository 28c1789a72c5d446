// The stock dictionary, carried as data block 131, loaded and looked up as
// the font build does, and written back through both formats.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "fileutil/extract_data_resource.h"
#include "platform/win32.h"
#include "tests/dict/dict_test_util.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

constexpr std::uint32_t kStockEntries = 4904;

class StockDictTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ExtractDataResource(MAKEINTRESOURCEA(131), path.c_str()), 1);
    ASSERT_EQ(dict.LoadFromTXTFileA(path.c_str()), kStockEntries);
  }
  test::ScratchDir dir;
  std::string path = test::WinPath(dir.File("DATA1"));
  QorvStringDict dict;
};

TEST_F(StockDictTest, FirstCodeMapsToTheIdeographicSpace) {
  const DictRecord* r = dict.FindRecordA("\x81\x40");
  ASSERT_EQ(r, &dict.records()[0]);
  EXPECT_EQ(std::string(r->CHI, r->CHILength), "\xA1\xA1");
  EXPECT_EQ(dict.FindRecordA("  \x81\x40 "), r);
  EXPECT_EQ(dict.FindRecordA("\x81\x3F"), nullptr);
}

TEST_F(StockDictTest, EveryKeyIsATwoByteCodeThatFindsItsOwnEntry) {
  unsigned noChange = 0;
  for (std::uint32_t i = 0; i < dict.count(); ++i) {
    const DictRecord& r = dict.records()[i];
    ASSERT_EQ(r.ENGLength, 2u) << i;
    ASSERT_EQ(dict.FindRecordA(r.ENG), &r) << i;
    if (i > 0) {
      ASSERT_EQ(CompareKeyA(dict.records()[i - 1].ENG, r.ENG), kKeyBefore) << i;
    }
    const std::string chi(r.CHI, r.CHILength);
    if (chi == "!!!no_change!!!") {
      ++noChange;
    } else {
      EXPECT_EQ(r.CHILength, 2u) << i;
    }
  }
  EXPECT_EQ(noChange, 12u);
  EXPECT_TRUE(test::Consistent(dict));
}

TEST_F(StockDictTest, TextSaveAndBinaryImageGiveTheSameEntries) {
  const std::vector<test::Entry> entries = test::Entries(dict);
  const std::string saved = test::WinPath(dir.File("saved.txt"));
  ASSERT_GT(dict.SaveToTXTFileA(saved.c_str()), 0u);
  QorvStringDict again;
  ASSERT_EQ(again.LoadFromTXTFileA(saved.c_str()), kStockEntries);
  EXPECT_EQ(test::Entries(again), entries);

  const std::string image = test::WinPath(dir.File("dict.bin"));
  ASSERT_NE(dict.SaveToBINFileA(image.c_str()), 0u);
  QorvStringDict fromImage;
  ASSERT_EQ(fromImage.LoadFromBINFileA(image.c_str()), kStockEntries);
  EXPECT_EQ(test::Entries(fromImage), entries);
  EXPECT_TRUE(test::Consistent(fromImage));
  EXPECT_EQ(fromImage.FindRecordA("\x81\x40"), &fromImage.records()[0]);
}

}  // namespace
}  // namespace qzf
