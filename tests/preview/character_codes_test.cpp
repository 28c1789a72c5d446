#include "preview/character_codes.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "preview/character_equivalents.h"
#include "tests/support/dictionary_text.h"

namespace qzf {
namespace {

// Cells at chosen positions for chosen codes; no levels are read.
class PositionsOnly : public CellSource {
 public:
  explicit PositionsOnly(std::map<std::uint16_t, std::uint32_t> positions) : positions_(std::move(positions)) {}
  std::optional<std::uint32_t> PositionOf(std::uint16_t code) const override {
    const auto it = positions_.find(code);
    if (it == positions_.end()) return std::nullopt;
    return it->second;
  }
  void Levels(const GlyphSizeInfo&, std::uint32_t, std::span<std::uint8_t>) const override {}

 private:
  std::map<std::uint16_t, std::uint32_t> positions_;
};

std::string Dictionary(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string text = "banner\r\n\r\n\r\n";
  for (std::size_t i = 0; i < entries.size(); ++i)
    text += test::DictionaryBlock(i, entries[i].first, entries[i].second);
  return text + test::kDictionaryTrailer;
}

// GBK: 古 B9C5, 今 BDF1; Shift-JIS: あ 82A0, い 82A2, う 82A4, ア 8341, 亜 889F.
TEST(CharacterCodesTest, EachRuleOfTheGame) {
  QorvStringDict dictionary;
  ASSERT_EQ(dictionary.LoadFromTXTStringA(Dictionary({
                                                         {"\x82\xA2", "!!!NO_CHANGE!!!"},  // い keeps its glyph
                                                         {"\x82\xA4", "\xB9\xC5"},         // う's code now draws 古
                                                         {"\x83\x41", "A"},         // too short: ア's cell is kept
                                                         {"\x8A\x40", "\xBD\xF1"},  // 今 twice: this one first
                                                         {"\x8B\x40", "\xBD\xF1\xB9\xC5"},
                                                         {"\x8C\x40", "\xB9\xC5"},  // 古 again, second in key order
                                                     })
                                              .c_str()),
            6u);
  const CharacterCodes codes(dictionary);
  const PositionsOnly cells(
      {{0x82A0, 1}, {0x82A2, 2}, {0x82A4, 3}, {0x8341, 4}, {0x889F, 5}, {0x8A40, 6}, {0x8B40, 7}, {0x8C40, 8}});
  const struct {
    char32_t character;
    std::optional<std::uint32_t> position;
  } cases[] = {
      {U'今', 6},             // the first entry in key order whose text begins with it
      {U'古', 3},             // likewise, though a later entry has it alone
      {U'あ', 1},             // no entry for its Shift-JIS code
      {U'い', 2},             // its entry keeps the game's glyph, in any case
      {U'ア', 4},             // its entry names no character
      {U'う', std::nullopt},  // its cell now draws 古
      {U'亜', 5},             // in GBK, but no entry names it
      {U'☃', std::nullopt},   // neither GBK nor Shift-JIS
      {U'x', std::nullopt},   // one byte in both
  };
  for (const auto& c : cases)
    EXPECT_EQ(codes.CellFor(c.character, cells), c.position) << std::hex << static_cast<std::uint32_t>(c.character);

  // What each code's cells show, as a sheet's index names it.
  const std::pair<std::uint16_t, std::optional<char32_t>> shown[] = {
      {0x82A4, U'古'},         // the dictionary's character
      {0x8B40, U'今'},         // the first character of a longer text
      {0x82A2, U'い'},         // kept: the game's own
      {0x8341, U'ア'},         // no character named: the game's own
      {0x82A0, U'あ'},         // no entry
      {0x8142, U'。'},         // Japanese punctuation
      {0x85A0, std::nullopt},  // no Shift-JIS character
      {0x8120, std::nullopt},  // a lead byte without a trail byte
  };
  for (const auto& [code, character] : shown) EXPECT_EQ(codes.CharacterOf(code), character) << std::hex << code;
}

TEST(CharacterCodesTest, ADictionaryCodeMissingFromTheTableFallsBackToShiftJis) {
  QorvStringDict dictionary;
  // あ (GBK A4A2) given to a code the table lacks; あ's own code has no entry.
  ASSERT_EQ(dictionary.LoadFromTXTStringA(Dictionary({{"\x84\x4D", "\xA4\xA2"}}).c_str()), 1u);
  const CharacterCodes codes(dictionary);
  EXPECT_EQ(codes.DictionaryCode(U'あ'), 0x844D);
  EXPECT_EQ(codes.CellFor(U'あ', PositionsOnly(std::map<std::uint16_t, std::uint32_t>{{0x82A0, 9}})), 9u);
  EXPECT_EQ(codes.CellFor(U'あ', PositionsOnly(std::map<std::uint16_t, std::uint32_t>{})), std::nullopt);
}

TEST(CharacterCodesTest, OnlyTheEntryTheRewriteFindsCounts) {
  QorvStringDict dictionary;
  // Out of key order: the binary search for 0x8140 does not reach the last
  // entry, so the pass keeps that cell and the entry draws nothing.
  ASSERT_EQ(dictionary.LoadFromTXTStringA(
                Dictionary({{"\x82\xA0", "\xA4\xA2"}, {"\x83\x40", "\xA4\xA4"}, {"\x81\x40", "\xB9\xC5"}}).c_str()),
            3u);
  const CharacterCodes codes(dictionary);
  EXPECT_EQ(dictionary.FindRecordA("\x81\x40"), nullptr);
  EXPECT_FALSE(codes.CodeGetsCharacter(0x8140));
  EXPECT_EQ(codes.DictionaryCode(U'古'), std::nullopt);
  EXPECT_TRUE(codes.CodeGetsCharacter(0x82A0));
}

// Each pair of the table: the game's form has a code of its own in code page
// 932 (on both builds alike), the other form has none, so the pair is what
// finds the other form a cell.
TEST(CharacterCodesTest, EquivalentsNameTheGameFormOfEachPair) {
  const ShiftJisEncoder shiftJis;
  ASSERT_FALSE(CharacterEquivalents().empty());
  for (const CharacterPair& pair : CharacterEquivalents()) {
    const auto code = shiftJis.Encode(pair.game);
    ASSERT_TRUE(code.has_value()) << std::hex << static_cast<std::uint32_t>(pair.game);
    EXPECT_EQ(DecodeShiftJis(*code), pair.game);
    EXPECT_EQ(shiftJis.Encode(pair.other), std::nullopt) << std::hex << static_cast<std::uint32_t>(pair.other);
    EXPECT_EQ(EquivalentCharacter(pair.other), pair.game);
    EXPECT_EQ(EquivalentCharacter(pair.game), pair.other);
  }
  EXPECT_EQ(EquivalentCharacter(U'古'), 0u);
}

// GBK: — A1AA, · A1A4, 古 B9C5; Shift-JIS: ― 815C, ・ 8145, ～ 8160, － 817C.
TEST(CharacterCodesTest, PunctuationTypedInChineseFindsTheGamesCell) {
  QorvStringDict dictionary;
  ASSERT_EQ(dictionary.LoadFromTXTStringA(Dictionary({
                                                         {"\x81\x7C", "\xB9\xC5"},  // － now draws 古
                                                         {"\x8A\x40", "\xA1\xAA"},  // — given a code of its own
                                                     })
                                              .c_str()),
            2u);
  const CharacterCodes codes(dictionary);
  const PositionsOnly cells({{0x815C, 1}, {0x8145, 2}, {0x8160, 3}, {0x817C, 4}, {0x8A40, 5}});
  const struct {
    char32_t character;
    std::optional<std::uint32_t> position;
  } cases[] = {
      {U'\u00B7', 2},             // the middle dot from ・'s cell
      {U'\u30FB', 2},             // ・ itself
      {U'\u301C', 3},             // the wave dash from ～'s cell
      {U'\uFF5E', 3},             // ～ itself
      {U'\u2014', 5},             // its own entry comes before the partner
      {U'\u2015', 1},             // ― has its own cell
      {U'\u2212', std::nullopt},  // the partner's cell draws 古 now
      {U'\u2013', std::nullopt},  // no partner
  };
  for (const auto& c : cases)
    EXPECT_EQ(codes.CellFor(c.character, cells), c.position) << std::hex << static_cast<std::uint32_t>(c.character);

  // Without the entry, — is drawn from ―'s cell.
  QorvStringDict empty;
  ASSERT_EQ(empty.LoadFromTXTStringA(Dictionary({{"\x8A\x41", "\xB9\xC5"}}).c_str()), 1u);
  EXPECT_EQ(CharacterCodes(empty).CellFor(U'\u2014', cells), 1u);
}

}  // namespace
}  // namespace qzf
