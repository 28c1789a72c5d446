#include "preview/text_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/dictionary_text.h"

namespace qzf {
namespace {

// Every character but '?' has a cell: position = the character's value.
class AllButQuestionMarks : public CellSource {
 public:
  std::optional<std::uint32_t> PositionOf(std::uint16_t code) const override { return code; }
  void Levels(const GlyphSizeInfo&, std::uint32_t, std::span<std::uint8_t>) const override {}
};

// The layout drawn as text: one string per row, '.' for a gap, '#' for a box.
std::vector<std::string> Picture(const TextLayout& layout) {
  std::vector<std::string> rows(layout.rows, std::string(layout.columns, '.'));
  for (const PlacedCharacter& p : layout.placed) rows[p.row][p.column] = p.position ? '*' : '#';
  return rows;
}

class TextLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // あ's code draws あ; every other character goes by its Shift-JIS code.
    const std::string text = "\r\n" + test::DictionaryBlock(0, "\x82\xA0", "\xA4\xA2") + test::kDictionaryTrailer;
    ASSERT_EQ(dictionary_.LoadFromTXTStringA(text.c_str()), 1u);
    codes_ = std::make_unique<CharacterCodes>(dictionary_);
  }
  TextLayout LayOut(std::u32string_view text, std::uint32_t width) { return LayOutText(text, width, *codes_, cells_); }
  QorvStringDict dictionary_;
  std::unique_ptr<CharacterCodes> codes_;
  AllButQuestionMarks cells_;
};

TEST_F(TextLayoutTest, LinesBreakAndWrap) {
  const struct {
    std::u32string text;
    std::uint32_t width;
    std::vector<std::string> rows;
  } cases[] = {
      {U"あああああ", 2, {"**", "**", "*."}},
      {U"ああ\nあ", 40, {"**", "*."}},
      {U"あ\r\nあ\rあ", 40, {"*", "*", "*"}},
      {U"あ\n\nあ", 40, {"*", ".", "*"}},
      {U"あ\n", 40, {"*"}},             // a final line break adds no line
      {U"あ\r\n\r\n", 40, {"*", "."}},  // only one is dropped
      {U"あ あ", 40, {"*.*"}},          // a space is a gap
      {U"ああ あ", 2, {"**", ".*"}},    // and takes its cell when wrapping
      {U"あ?あ", 40, {"*#*"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Picture(LayOut(c.text, c.width)), c.rows) << c.rows.size() << " rows, width " << c.width;
  }
}

TEST_F(TextLayoutTest, UnknownCharactersAreListedWhereTheTextHasThem) {
  // Lines and columns of the text, not of the wrapped picture.
  const TextLayout layout = LayOut(U"ああ?\nあ?\r\n?", 2);
  ASSERT_EQ(layout.unknown.size(), 3u);
  const std::pair<std::uint32_t, std::uint32_t> where[] = {{1, 3}, {2, 2}, {3, 1}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(layout.unknown[i].character, U'?');
    EXPECT_EQ(layout.unknown[i].line, where[i].first);
    EXPECT_EQ(layout.unknown[i].column, where[i].second);
  }
}

}  // namespace
}  // namespace qzf
