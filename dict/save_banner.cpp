#include "dict/save_banner.h"

#include <cstdint>
#include <cstdio>

namespace qzf {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back
// (H. Hinnant's civil calendar algorithms).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

}  // namespace

std::string FormatSaveBanner(const SYSTEMTIME& utc) {
  const unsigned hours = utc.wHour + 8u;
  std::int64_t year = 0;
  unsigned month = 0;
  unsigned day = 0;
  CivilFromDays(DaysFromCivil(utc.wYear, utc.wMonth, utc.wDay) + hours / 24, year, month, day);
  char line[160];
  std::snprintf(line, sizeof(line),
                "Marrowgate QorvStringDict::SaveToTXTFileA %s %04d-%02d-%02d %02d:%02d:%02d\r\n\r\n\r\n", "Ver.0.19",
                static_cast<int>(year), static_cast<int>(month), static_cast<int>(day), static_cast<int>(hours % 24),
                static_cast<int>(utc.wMinute), static_cast<int>(utc.wSecond));
  return line;
}

}  // namespace qzf
