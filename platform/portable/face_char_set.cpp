#include "platform/portable/face_char_set.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <cstring>

#include "platform/win32.h"

#ifndef _WIN32
#include "platform/base/codepage.h"
#include "platform/fontengine/code_page_ranges.h"
#include "platform/fontengine/font_match.h"
#endif

namespace qzf {
namespace {

// In this order of preference: GBK first, then the other CJK sets.
constexpr std::array<int, 5> kCharSets = {GB2312_CHARSET, SHIFTJIS_CHARSET, CHINESEBIG5_CHARSET, HANGEUL_CHARSET,
                                          ANSI_CHARSET};

#ifdef _WIN32
int CALLBACK CollectCharSet(const LOGFONTA* font, const TEXTMETRICA*, DWORD type, LPARAM param) {
  if (!(type & RASTER_FONTTYPE)) (*reinterpret_cast<std::bitset<256>*>(param))[font->lfCharSet] = true;
  return 1;
}
#endif

}  // namespace

std::optional<int> FaceCharSet(const std::string& faceName) {
  if (faceName.empty() || faceName.size() >= LF_FACESIZE) return std::nullopt;
#ifdef _WIN32
  // GDI lists a face once per character set it serves.
  LOGFONTA query{};
  query.lfCharSet = DEFAULT_CHARSET;
  std::memcpy(query.lfFaceName, faceName.data(), faceName.size());
  std::bitset<256> served;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExA(dc, &query, CollectCharSet, reinterpret_cast<LPARAM>(&served), 0);
  ReleaseDC(nullptr, dc);
  for (const int charSet : kCharSets)
    if (served[static_cast<std::size_t>(charSet)]) return charSet;
  return std::nullopt;
#else
  const auto family = GbkToUtf8(faceName);
  if (!family) return std::nullopt;
  const auto match = MatchInstalledFont(*family, FW_NORMAL, false, DEFAULT_CHARSET);
  if (!match || !match->exact()) return std::nullopt;
  const std::uint32_t pages = FaceCodePages(match->file, match->index);
  for (const int charSet : kCharSets)
    if (pages & CodePageBitOfCharSet(charSet)) return charSet;
  return std::nullopt;
#endif
}

}  // namespace qzf
