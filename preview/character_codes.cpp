#include "preview/character_codes.h"

#include <string>

#include "fontpatch/font_format.h"
#include "fontpatch/pass_messages.h"
#include "platform/base/codepage.h"
#include "platform/win32.h"
#include "preview/character_equivalents.h"
#include "preview/utf8_text.h"

namespace qzf {
namespace {

struct CodeCharacter {
  std::uint16_t code;
  unsigned gbk;  // lead byte high
};

// The Unicode form of each GBK character, converted in one call; nullopt
// where a character has none.
std::vector<std::optional<char32_t>> ToUnicode(const std::vector<CodeCharacter>& pairs) {
  std::string gbk;
  for (const CodeCharacter& p : pairs) {
    gbk += static_cast<char>(p.gbk >> 8);
    gbk += static_cast<char>(p.gbk & 0xFF);
  }
  std::vector<std::optional<char32_t>> unicode;
  if (const auto utf8 = GbkToUtf8(gbk)) {
    if (const auto decoded = DecodeUtf8(*utf8); decoded && decoded->size() == pairs.size()) {
      unicode.assign(decoded->begin(), decoded->end());
      return unicode;
    }
  }
  // Some character is not GBK: one at a time.
  for (const CodeCharacter& p : pairs) unicode.push_back(GbkCodeToUnicode(p.gbk));
  return unicode;
}

}  // namespace

CharacterCodes::CharacterCodes(const QorvStringDict& dictionary) : givesCharacter_(0x10000, false) {
  std::vector<CodeCharacter> pairs;
  for (std::uint32_t i = 0; i < dictionary.count(); ++i) {
    const DictRecord& entry = dictionary.records()[i];
    if (entry.ENGLength != 2) continue;
    const auto code = static_cast<std::uint16_t>(static_cast<unsigned char>(entry.ENG[0]) << 8 |
                                                 static_cast<unsigned char>(entry.ENG[1]));
    // The entry the pass finds for the code, which need not be this one in a
    // dictionary out of order or with a key twice.
    const CodeKey key = MakeCodeKey(code);
    if (dictionary.FindRecordA(key.data()) != &entry) continue;
    if (entry.CHILength < 2 || lstrcmpiA(entry.CHI, pass_text::kNoChange) == 0) continue;
    givesCharacter_[code] = true;
    const auto lead = static_cast<unsigned char>(entry.CHI[0]);
    if (lead >= 0x81) pairs.push_back({code, lead * 256u + static_cast<unsigned char>(entry.CHI[1])});
  }
  const auto unicode = ToUnicode(pairs);
  for (std::size_t k = 0; k < pairs.size(); ++k) {
    if (!unicode[k]) continue;
    byCode_.emplace(pairs[k].code, *unicode[k]);
    // Two-byte keys sort as their codes do: the smallest code is the first.
    auto [it, added] = byCharacter_.emplace(*unicode[k], pairs[k].code);
    if (!added && pairs[k].code < it->second) it->second = pairs[k].code;
  }
}

std::optional<std::uint16_t> CharacterCodes::DictionaryCode(char32_t c) const {
  const auto it = byCharacter_.find(c);
  if (it == byCharacter_.end()) return std::nullopt;
  return it->second;
}

std::optional<char32_t> CharacterCodes::CharacterOf(std::uint16_t code) const {
  if (!CodeGetsCharacter(code)) return DecodeShiftJis(code);
  const auto it = byCode_.find(code);
  if (it == byCode_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::uint32_t> CharacterCodes::CellFor(char32_t c, const CellSource& cells) const {
  if (const auto own = OwnCellFor(c, cells)) return own;
  if (const char32_t other = EquivalentCharacter(c)) return OwnCellFor(other, cells);
  return std::nullopt;
}

std::optional<std::uint32_t> CharacterCodes::OwnCellFor(char32_t c, const CellSource& cells) const {
  if (const auto code = DictionaryCode(c)) {
    if (const auto position = cells.PositionOf(*code)) return position;
  }
  if (const auto code = shiftJis_.Encode(c); code && !CodeGetsCharacter(*code)) return cells.PositionOf(*code);
  return std::nullopt;
}

}  // namespace qzf
