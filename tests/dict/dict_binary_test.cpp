#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "tests/dict/dict_test_util.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

using test::Entries;
using test::Entry;

std::string Word(std::uint32_t v) {
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
}

std::string Row(std::uint32_t eng, std::uint32_t chi, std::uint32_t remark, std::uint32_t engLength,
                std::uint32_t chiLength, std::uint32_t remarkLength) {
  return Word(eng) + Word(chi) + Word(remark) + Word(engLength) + Word(chiLength) + Word(remarkLength);
}

// One record: ENG "\x81\x40" at 0, CHI "\xA1\xA1" at 3, empty Remark00 at 6.
const std::string kOneRecord = Word(1) + Word(1) + Row(0, 3, 6, 2, 2, 0) + std::string("\x81\x40\0\xA1\xA1\0\0", 7);

class BinaryTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    test::WriteBytes(dir.File("d.bin"), bytes);
    return path;
  }
  // A store with entries, so a failed load shows that it lost them.
  void Fill() { ASSERT_NE(dict.AddRecordA("old", "1", ""), nullptr); }
  ::testing::AssertionResult FailedAndEmpty(const std::string& bytes) {
    Fill();
    if (dict.LoadFromBINFileA(Write(bytes).c_str()) != 0) return ::testing::AssertionFailure() << "loaded";
    if (dict.count() != 0 || dict.records() != nullptr) return ::testing::AssertionFailure() << "not empty";
    if (dict.FindRecordA("old") != nullptr || dict.FindRecordA("\x81\x40") != nullptr) {
      return ::testing::AssertionFailure() << "still finds an entry";
    }
    // The emptied store works again.
    if (dict.AddRecordA("new", "2", "") == nullptr || !test::Consistent(dict)) {
      return ::testing::AssertionFailure() << "cannot be filled again";
    }
    return ::testing::AssertionSuccess();
  }
  test::ScratchDir dir;
  std::string path = test::WinPath(dir.File("d.bin"));
  QorvStringDict dict;
};

TEST_F(BinaryTest, OneRecordImageTurnsOffsetsIntoPointers) {
  Fill();
  ASSERT_EQ(dict.LoadFromBINFileA(Write(kOneRecord).c_str()), 1u);
  const DictRecord& r = dict.records()[0];
  EXPECT_EQ(r.ENG, dict.text());
  EXPECT_EQ(r.CHI, dict.text() + 3);
  EXPECT_EQ(r.Remark00, dict.text() + 6);
  EXPECT_EQ(Entries(dict), (std::vector<Entry>{{"\x81\x40", "\xA1\xA1", ""}}));
  EXPECT_EQ(dict.count(), 1u);
  EXPECT_EQ(dict.recordCapacity(), 1u);
  EXPECT_EQ(dict.records(), dict.recordStorage());
  EXPECT_EQ(dict.textSize(), kOneRecord.size());
  EXPECT_EQ(dict.textCapacity(), kOneRecord.size());
  EXPECT_EQ(dict.textUsed(), kOneRecord.size());
  EXPECT_STREQ(dict.path(), path.c_str());
  EXPECT_EQ(dict.FindRecordA("\x81\x40"), &r);
  EXPECT_TRUE(test::Consistent(dict));
}

TEST_F(BinaryTest, EightByteImageGivesZeroAndAnEmptyTable) {
  EXPECT_EQ(dict.LoadFromBINFileA(Write(Word(1) + Word(0)).c_str()), 0u);
  EXPECT_EQ(dict.count(), 0u);
  EXPECT_EQ(dict.recordCapacity(), 0u);
  EXPECT_NE(dict.records(), nullptr);
  EXPECT_EQ(dict.textUsed(), 8u);
  ASSERT_NE(dict.text(), nullptr);
  EXPECT_EQ(std::string(dict.text(), 12), std::string(12, '\0'));
  EXPECT_EQ(dict.FindRecordA(""), nullptr);
}

TEST_F(BinaryTest, FirstAddAfterALoadGrowsTheTextBuffer) {
  ASSERT_EQ(dict.LoadFromBINFileA(Write(kOneRecord).c_str()), 1u);
  const auto size = static_cast<std::uint32_t>(kOneRecord.size());
  ASSERT_NE(dict.AddRecordA("\x81\x41", "x", ""), nullptr);
  EXPECT_EQ(dict.textCapacity(), size + 3 + 0x10000Cu);
  EXPECT_EQ(dict.records()[1].ENG, dict.text() + size);
  EXPECT_EQ(Entries(dict)[0], (Entry{"\x81\x40", "\xA1\xA1", ""}));
}

TEST_F(BinaryTest, BareNameIsFoundInTheCurrentDirectory) {
  Write(kOneRecord);
  test::CurrentDirectory cd(dir.path());
  EXPECT_EQ(dict.LoadFromBINFileA("d.bin"), 1u);
  EXPECT_STREQ(dict.path(), path.c_str());
}

TEST_F(BinaryTest, WrongVersionShortOrMissingFilesFail) {
  EXPECT_TRUE(FailedAndEmpty(Word(2) + kOneRecord.substr(4)));
  EXPECT_TRUE(FailedAndEmpty(std::string("\x01\x00\x00", 3)));
  EXPECT_TRUE(FailedAndEmpty(Word(1) + "\x01"));
  EXPECT_TRUE(FailedAndEmpty(""));
  Fill();
  EXPECT_EQ(dict.LoadFromBINFileA(test::WinPath(dir.File("missing.bin")).c_str()), 0u);
  EXPECT_EQ(dict.count(), 0u);
}

TEST_F(BinaryTest, FileAboveTheSizeLimitFails) {
  Write(Word(1) + Word(0));
  std::filesystem::resize_file(dir.path() / "d.bin", 200000001);
  Fill();
  EXPECT_EQ(dict.LoadFromBINFileA(path.c_str()), 0u);
  EXPECT_EQ(dict.count(), 0u);
}

// Nothing in the image is trusted.
TEST_F(BinaryTest, MalformedImagesFailAndLeaveAnEmptyStore) {
  const std::string blob = std::string("\x81\x40\0\xA1\xA1\0\0", 7);
  // Fewer bytes than the table promises, and a count the file cannot hold.
  EXPECT_TRUE(FailedAndEmpty(Word(1) + Word(2) + Row(0, 3, 6, 2, 2, 0) + blob));
  EXPECT_TRUE(FailedAndEmpty(Word(1) + Word(0xFFFFFFFF) + Row(0, 3, 6, 2, 2, 0) + blob));
  EXPECT_TRUE(FailedAndEmpty(Word(1) + Word(0x0AAAAAAB) + Row(0, 3, 6, 2, 2, 0)));
  // Offsets at or beyond the end of the blob.
  EXPECT_TRUE(FailedAndEmpty(Word(1) + Word(1) + Row(0, 3, 7, 2, 2, 0) + blob));
  EXPECT_TRUE(FailedAndEmpty(Word(1) + Word(1) + Row(0xFFFFFFF0, 3, 6, 2, 2, 0) + blob));
  // A length that runs past the blob, or wraps around.
  EXPECT_TRUE(FailedAndEmpty(Word(1) + Word(1) + Row(0, 3, 6, 2, 4, 0) + blob));
  EXPECT_TRUE(FailedAndEmpty(Word(1) + Word(1) + Row(0, 3, 6, 0xFFFFFFFF, 2, 0) + blob));
  // A last text without its zero byte.
  EXPECT_TRUE(FailedAndEmpty(Word(1) + Word(1) + Row(0, 3, 6, 2, 2, 1) + std::string("\x81\x40\0\xA1\xA1\0r", 7)));
  // A length that disagrees with where the text's zero byte is.
  EXPECT_TRUE(FailedAndEmpty(Word(1) + Word(1) + Row(0, 3, 6, 1, 2, 0) + blob));
  EXPECT_TRUE(FailedAndEmpty(Word(1) + Word(1) + Row(0, 0, 6, 2, 5, 0) + blob));
  // Records but no blob at all.
  EXPECT_TRUE(FailedAndEmpty(Word(1) + Word(1) + Row(0, 0, 0, 0, 0, 0)));
}

TEST_F(BinaryTest, WriterProducesExactlyTheLayout) {
  dict.AddRecordA("\x81\x40", "\xA1\xA1", "");
  ASSERT_EQ(dict.SaveToBINFileA(path.c_str()), kOneRecord.size());
  EXPECT_EQ(test::ReadBytes(dir.File("d.bin")), kOneRecord);
  QorvStringDict empty;
  ASSERT_EQ(empty.SaveToBINFileA(path.c_str()), 8u);
  EXPECT_EQ(test::ReadBytes(dir.File("d.bin")), Word(1) + Word(0));
  EXPECT_EQ(empty.SaveToBINFileA(nullptr), 0u);
}

TEST_F(BinaryTest, EditedStoreRoundTripsThroughAnImage) {
  dict.AddRecordA("b", "\xB0\xA1", "remark");
  dict.AddRecordA("a", nullptr, nullptr);
  dict.AddRecordA("c\r\nd", "", "");
  dict.InsertBlankRecord(0);
  dict.SetCHIA(1, "longer chi");
  ASSERT_GT(dict.SaveToBINFileA(path.c_str()), 8u);
  QorvStringDict loaded;
  ASSERT_EQ(loaded.LoadFromBINFileA(path.c_str()), 4u);
  EXPECT_EQ(Entries(loaded), Entries(dict));
  EXPECT_TRUE(test::Consistent(loaded));
  EXPECT_EQ(loaded.FindRecordA("b"), &loaded.records()[2]);
}

// Truncated and randomly damaged images never lead a pointer out of the
// buffer: either the load fails, or every entry is complete.
TEST_F(BinaryTest, DamagedImagesLoadSafely) {
  for (const char* key : {"\x81\x40", "\x81\x41", "\x81\x42", "\x82\x40"}) dict.AddRecordA(key, "\xA1\xA1", "r");
  ASSERT_GT(dict.SaveToBINFileA(path.c_str()), 0u);
  const std::string good = test::ReadBytes(dir.File("d.bin"));
  QorvStringDict loaded;
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    ASSERT_EQ(loaded.LoadFromBINFileA(Write(good.substr(0, cut)).c_str()), 0u) << cut;
    ASSERT_EQ(loaded.count(), 0u);
  }
  std::mt19937 random(12345);
  for (int round = 0; round < 300; ++round) {
    std::string bad = good;
    for (int k = 0; k < 3; ++k) bad[random() % bad.size()] = static_cast<char>(random());
    const std::uint32_t n = loaded.LoadFromBINFileA(Write(bad).c_str());
    ASSERT_EQ(loaded.count(), n);
    ASSERT_TRUE(test::Consistent(loaded)) << round;
  }
}

}  // namespace
}  // namespace qzf
