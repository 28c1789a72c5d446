#include "platform/fontengine/vdmx_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace qzf {
namespace {

void Put16(std::vector<std::uint8_t>& t, int v) {
  t.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  t.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

struct Record {
  int ppem, yMax, yMin;
};

// A table with two ratio records, the first of character set 0, both
// pointing at one group of records for sizes 10 to 30.
std::vector<std::uint8_t> Table(std::vector<Record> records, std::uint8_t xRatio = 1) {
  std::vector<std::uint8_t> t;
  Put16(t, 1);  // version
  Put16(t, static_cast<int>(records.size()));
  Put16(t, 2);  // ratio records
  for (std::uint8_t charSet : {0, 1}) {
    t.push_back(charSet);
    t.push_back(xRatio);
    t.push_back(xRatio);
    t.push_back(xRatio);
  }
  const int group = 6 + 2 * 4 + 2 * 2;
  Put16(t, group);
  Put16(t, group);
  Put16(t, static_cast<int>(records.size()));
  t.push_back(10);
  t.push_back(30);
  for (const auto& r : records) {
    Put16(t, r.ppem);
    Put16(t, r.yMax);
    Put16(t, r.yMin);
  }
  return t;
}

const std::vector<Record> kRecords = {{10, 9, -2}, {11, 10, -2}, {12, 11, -3}};

TEST(VdmxTableTest, CellHeightTakesTheLargestSizeThatFits) {
  const auto table = Table(kRecords);
  auto exact = FindVdmxEntry(table, 12);
  ASSERT_TRUE(exact);
  EXPECT_EQ(exact->ppem, 11);
  EXPECT_EQ(exact->yMax, 10);
  EXPECT_EQ(exact->yMin, -2);

  auto between = FindVdmxEntry(table, 13);  // 12 is too tall (14): take 11
  ASSERT_TRUE(between);
  EXPECT_EQ(between->ppem, 11);
  EXPECT_EQ(FindVdmxEntry(table, 11)->ppem, 10);

  // Smaller than every entry, or beyond the last one: the size is scaled.
  EXPECT_FALSE(FindVdmxEntry(table, 10));
  EXPECT_FALSE(FindVdmxEntry(table, 40));
}

TEST(VdmxTableTest, EmHeightNeedsItsOwnEntry) {
  const auto table = Table(kRecords);
  auto entry = FindVdmxEntry(table, -12);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->yMin, -3);
  EXPECT_FALSE(FindVdmxEntry(Table({{10, 9, -2}, {12, 11, -3}}), -11));
  EXPECT_FALSE(FindVdmxEntry(table, -9));   // below the group's range
  EXPECT_FALSE(FindVdmxEntry(table, -13));  // in range, no entry
}

TEST(VdmxTableTest, OtherAspectRatiosAndDamagedTablesGiveNothing) {
  EXPECT_FALSE(FindVdmxEntry(Table(kRecords, 2), 12));
  const auto table = Table(kRecords);
  // The entry for 14 is the last record: no shortened table may yield it.
  for (size_t length = 0; length < table.size(); ++length)
    EXPECT_FALSE(FindVdmxEntry(std::span<const std::uint8_t>(table.data(), length), 14)) << length;
  EXPECT_TRUE(FindVdmxEntry(table, 14));
}

}  // namespace
}  // namespace qzf
