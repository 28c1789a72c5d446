#include "dict/save_banner.h"

#include <gtest/gtest.h>

namespace qzf {
namespace {

SYSTEMTIME Utc(int year, int month, int day, int hour, int minute, int second) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  t.wHour = static_cast<WORD>(hour);
  t.wMinute = static_cast<WORD>(minute);
  t.wSecond = static_cast<WORD>(second);
  return t;
}

TEST(SaveBanner, StampIsUtcPlusEightHours) {
  EXPECT_EQ(FormatSaveBanner(Utc(2024, 5, 6, 3, 4, 5)),
            "Marrowgate QorvStringDict::SaveToTXTFileA Ver.0.19 2024-05-06 11:04:05\r\n\r\n\r\n");
}

TEST(SaveBanner, HourCarriesIntoTheNextDayMonthAndYear) {
  auto stamp = [](const SYSTEMTIME& t) { return FormatSaveBanner(t).substr(51, 19); };
  EXPECT_EQ(stamp(Utc(2024, 5, 6, 16, 0, 0)), "2024-05-07 00:00:00");
  EXPECT_EQ(stamp(Utc(2024, 5, 6, 23, 59, 59)), "2024-05-07 07:59:59");
  EXPECT_EQ(stamp(Utc(2024, 4, 30, 20, 1, 2)), "2024-05-01 04:01:02");
  EXPECT_EQ(stamp(Utc(2024, 2, 28, 20, 0, 0)), "2024-02-29 04:00:00");
  EXPECT_EQ(stamp(Utc(2023, 2, 28, 20, 0, 0)), "2023-03-01 04:00:00");
  EXPECT_EQ(stamp(Utc(2100, 2, 28, 16, 0, 0)), "2100-03-01 00:00:00");
  EXPECT_EQ(stamp(Utc(2023, 12, 31, 18, 30, 0)), "2024-01-01 02:30:00");
  EXPECT_EQ(stamp(Utc(2023, 12, 31, 15, 59, 59)), "2023-12-31 23:59:59");
}

}  // namespace
}  // namespace qzf
