#include "tools/stockdata/stock_dictionary.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>
#include <string>

#include "tools/stockdata/code_table.h"

namespace qzf::stock {
namespace {

constexpr std::array<std::uint16_t, 12> kNoChangeCodes{0x8145, 0x81BA, 0x81BB, 0x81E1, 0x81E2, 0x81F0,
                                                       0x81F6, 0x81F7, 0x874A, 0x875F, 0x878D, 0x878E};
constexpr std::string_view kNoChangeText = "!!!no_change!!!";

constexpr std::size_t kIdenticalDropped = 114;
constexpr std::size_t kIdenticalCount = 3398;
constexpr std::size_t kRow87Picks = 5;
constexpr std::size_t kUpperRowPicks = 1489;
constexpr std::uint16_t kCodeWithoutCharacter = 0xEAA5;
// Cells the game's file leaves blank; no character is given to them.
constexpr std::array<std::uint16_t, 2> kBlankCodes{0x8770, 0x8790};
constexpr std::size_t kEntryCount = 4904;
constexpr std::size_t kFirstTaggedEntry = 3497;

bool IsNoChange(std::uint16_t code) {
  return std::find(kNoChangeCodes.begin(), kNoChangeCodes.end(), code) != kNoChangeCodes.end();
}

unsigned High(std::uint16_t code) { return code >> 8; }

std::string CodeBytes(std::uint16_t code) {
  return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

void Expect(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error("stock dictionary: " + what);
}

// Codes of the identical kind mapped to their own character in GBK.
std::map<std::uint16_t, std::string> PickIdentical(const std::vector<std::uint16_t>& codes,
                                                   const CodePages& codePages) {
  struct Candidate {
    std::uint16_t code;
    char32_t c;
    std::uint16_t gb2312;
  };
  std::vector<Candidate> candidates;
  for (std::uint16_t code : codes) {
    const unsigned h = High(code);
    if (!((h >= 0x81 && h <= 0x84) || (h >= 0x88 && h <= 0xE4)) || IsNoChange(code)) continue;
    const auto c = GameCharacter(codePages, code);
    if (!c) continue;
    if (const auto gb = codePages.ToGb2312(*c)) candidates.push_back({code, *c, *gb});
  }
  Expect(candidates.size() == kIdenticalCount + kIdenticalDropped,
         std::to_string(candidates.size()) + " characters shared with GB2312, expected 3512");
  std::sort(candidates.begin(), candidates.end(),
            [](const Candidate& a, const Candidate& b) { return a.gb2312 < b.gb2312; });
  candidates.resize(kIdenticalCount);

  std::map<std::uint16_t, std::string> identical;
  std::set<std::string> used;
  for (const Candidate& k : candidates) {
    const auto gbk = codePages.ToGbk(k.c);
    // GBK must give back the very character, or the entry would not be identical.
    Expect(gbk && gbk->size() == 2 && codePages.FromGbk(*gbk) == k.c,
           "no GBK round trip for code " + std::to_string(k.code));
    Expect(used.insert(*gbk).second, "two codes share one character");
    identical.emplace(k.code, *gbk);
  }
  return identical;
}

// The codes given to other characters, ascending.
std::vector<std::uint16_t> PickDifferent(const std::vector<std::uint16_t>& codes) {
  std::vector<std::uint16_t> picks;
  for (std::uint16_t code : codes) {
    if (picks.size() == kRow87Picks) break;
    if (High(code) != 0x87 || IsNoChange(code)) continue;
    if (std::find(kBlankCodes.begin(), kBlankCodes.end(), code) != kBlankCodes.end()) continue;
    picks.push_back(code);
  }
  Expect(picks.size() == kRow87Picks, "row 0x87 is too short");

  std::vector<std::uint16_t> upper;
  for (std::uint16_t code : codes) {
    if (High(code) >= 0xE5) upper.push_back(code);
  }
  const std::size_t n = upper.size();
  Expect(n >= kUpperRowPicks, "rows 0xE5 and up are too short");
  std::vector<std::uint16_t> spread;
  for (std::size_t k = 0; k < kUpperRowPicks; ++k) {
    // round(k * (n - 1) / 1488), halves rounded up, in integers.
    const std::size_t d = kUpperRowPicks - 1;
    spread.push_back(upper[(2 * k * (n - 1) + d) / (2 * d)]);
  }
  if (std::find(spread.begin(), spread.end(), kCodeWithoutCharacter) == spread.end()) {
    const auto above = std::upper_bound(spread.begin(), spread.end(), kCodeWithoutCharacter);
    Expect(above != spread.end(), "no pick above 0xEAA5");
    *above = kCodeWithoutCharacter;
  }
  picks.insert(picks.end(), spread.begin(), spread.end());
  return picks;
}

// The GB2312 hanzi from 0xB0A1 up, in code order, as GBK bytes and character.
std::vector<std::pair<std::string, char32_t>> HanziPool(const CodePages& codePages) {
  std::vector<std::pair<std::string, char32_t>> pool;
  for (unsigned row = 0xB0; row <= 0xF7; ++row) {
    for (unsigned cell = 0xA1; cell <= 0xFE; ++cell) {
      const auto code = static_cast<std::uint16_t>(row << 8 | cell);
      const auto c = codePages.FromGb2312(code);
      if (!c) continue;
      const auto gbk = codePages.ToGbk(*c);
      Expect(gbk == CodeBytes(code), "GB2312 hanzi differ in GBK");
      pool.emplace_back(*gbk, *c);
    }
  }
  return pool;
}

}  // namespace

std::vector<TextEntry> BuildStockDictionary(const std::vector<std::uint16_t>& ascendingCodes,
                                            const CodePages& codePages) {
  const std::set<std::uint16_t> codeSet(ascendingCodes.begin(), ascendingCodes.end());
  Expect(codeSet.size() == ascendingCodes.size(), "the codes repeat");

  std::map<std::uint16_t, std::string> chi;
  for (std::uint16_t code : kNoChangeCodes) {
    Expect(codeSet.count(code) == 1, "a no-change code is not a game code");
    chi.emplace(code, kNoChangeText);
  }
  const auto identical = PickIdentical(ascendingCodes, codePages);
  std::set<std::string> taken;
  for (const auto& [code, gbk] : identical) {
    chi.emplace(code, gbk);
    taken.insert(gbk);
  }

  const auto pool = HanziPool(codePages);
  auto next = pool.begin();
  for (std::uint16_t code : PickDifferent(ascendingCodes)) {
    const auto own = GameCharacter(codePages, code);
    // Skip hanzi already given away, and the code's own character, which
    // would make the entry an identical one.
    while (next != pool.end() && (taken.count(next->first) != 0 || (own && next->second == *own))) ++next;
    Expect(next != pool.end(), "ran out of hanzi");
    Expect(chi.emplace(code, next->first).second, "a code was picked twice");
    ++next;
  }
  Expect(chi.size() == kEntryCount, std::to_string(chi.size()) + " entries, expected 4904");

  std::vector<TextEntry> entries;
  entries.reserve(chi.size());
  for (const auto& [code, text] : chi) {
    std::string remark;
    if (entries.size() >= kFirstTaggedEntry) {
      char tag[32];
      std::snprintf(tag, sizeof tag, "chs_append_No.%08u", static_cast<unsigned>(entries.size()));
      remark = tag;
    }
    entries.push_back({CodeBytes(code), text, remark});
  }
  return entries;
}

}  // namespace qzf::stock
