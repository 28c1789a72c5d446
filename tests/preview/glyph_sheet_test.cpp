#include "preview/glyph_sheet.h"

#include <gtest/gtest.h>

#include "fontpatch/cell_image.h"
#include "preview/png_encoder.h"
#include "preview/sheet_index.h"

namespace qzf {
namespace {

const GlyphSizeInfo& Size24() { return SizeModeTable[1]; }

// A font file of the game's layout: position i has code 0x8140 + i, and the
// 24 px cells hold a pattern of every level.
std::vector<unsigned char> Font() {
  std::vector<unsigned char> font(kFontFileLength, 0);
  font[0] = kIndexedGlyphCount & 0xFF;
  font[1] = kIndexedGlyphCount >> 8;
  for (std::uint32_t i = 0; i < kIndexedGlyphCount; ++i) {
    const std::uint16_t code = static_cast<std::uint16_t>(0x8140 + i);
    font[kCodeTableOffset + 2 * i] = code & 0xFF;
    font[kCodeTableOffset + 2 * i + 1] = code >> 8;
  }
  for (std::uint32_t cell = 0; cell < 40; ++cell) {
    for (std::uint32_t y = 0; y < 24; ++y) {
      for (std::uint32_t x = 0; x < 24; ++x) {
        WritePixel(font, Size24(), cell, x, y, static_cast<std::uint8_t>((x + y + cell) % 16));
      }
    }
  }
  return font;
}

GlyphSheet Sheet(std::initializer_list<std::uint32_t> positions, std::uint32_t columns) {
  std::vector<SheetCell> cells;
  for (const std::uint32_t p : positions) cells.push_back({p, static_cast<std::uint16_t>(0x8140 + p), U'\u4E00', 0, 0});
  return LayOutSheet(Size24(), cells, columns);
}

// The sheet as an image editor would save it and the tool read it back.
DecodedPng Saved(const std::vector<unsigned char>& font, const GlyphSheet& sheet) {
  const std::vector<unsigned char> png =
      EncodePng(DrawSheet(font, Size24(), sheet), sheet.layout.width(), sheet.layout.height(), 3);
  PngDecodeResult decoded = DecodePng(png, 1u << 24);
  EXPECT_TRUE(decoded) << decoded.error;
  return std::move(decoded.picture);
}

void SetPixel(DecodedPng& picture, std::uint32_t x, std::uint32_t y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
              std::uint8_t a = 255) {
  std::uint8_t* p = picture.rgba.data() + (std::size_t{y} * picture.width + x) * 4;
  p[0] = r;
  p[1] = g;
  p[2] = b;
  p[3] = a;
}

TEST(GlyphSheetTest, LayoutPutsCellsInRowsWithAGapAround) {
  const GlyphSheet sheet = Sheet({5, 6, 7, 8, 9}, 2);
  EXPECT_EQ(sheet.layout.rows, 3u);
  EXPECT_EQ(sheet.layout.width(), 1 + 2 * 25u);
  EXPECT_EQ(sheet.layout.height(), 1 + 3 * 25u);
  EXPECT_EQ(sheet.cells[4].column, 0u);
  EXPECT_EQ(sheet.cells[4].row, 2u);
  EXPECT_EQ(sheet.layout.CellX(1), 26u);
  // Fewer cells than columns: the grid is as wide as the cells.
  EXPECT_EQ(Sheet({1, 2}, 32).layout.columns, 2u);
}

TEST(GlyphSheetTest, TheDrawnSheetShowsEachLevelAsItsGreyAndTheGapInColour) {
  const std::vector<unsigned char> font = Font();
  const GlyphSheet sheet = Sheet({3, 0, 7}, 2);  // a place of the grid left empty
  const std::vector<std::uint8_t> rgb = DrawSheet(font, Size24(), sheet);
  const std::size_t width = sheet.layout.width();
  auto at = [&](std::uint32_t x, std::uint32_t y) {
    return Rgb{rgb[(y * width + x) * 3], rgb[(y * width + x) * 3 + 1], rgb[(y * width + x) * 3 + 2]};
  };
  EXPECT_EQ(at(0, 0), kSheetGap);
  EXPECT_EQ(at(25, 10), kSheetGap);
  // Cell 0 sits second: its pixel (x, y) has level (x + y) % 16.
  for (std::uint32_t y = 0; y < 24; ++y) {
    for (std::uint32_t x = 0; x < 24; ++x) {
      const std::uint8_t grey = SheetGrey((x + y) % 16);
      ASSERT_EQ(at(26 + x, 1 + y), (Rgb{grey, grey, grey}));
    }
  }
  EXPECT_EQ(at(1 + 5, 1 + 2), (Rgb{SheetGrey(10), SheetGrey(10), SheetGrey(10)}));  // cell 3 at (5, 2)
  EXPECT_EQ(at(26 + 4, 26 + 4), (Rgb{255, 255, 255}));                              // the empty place
}

TEST(GlyphSheetTest, AnUntouchedSheetChangesNoByteAndEditsChangeOnlyTheirCells) {
  const std::vector<unsigned char> font = Font();
  const GlyphSheet sheet = Sheet({0, 1, 2, 3, 30, 7000}, 4);
  DecodedPng picture = Saved(font, sheet);

  std::vector<unsigned char> copy = font;
  const SheetImport untouched = ImportSheet(copy, Size24(), sheet, picture);
  ASSERT_TRUE(untouched) << untouched.error;
  EXPECT_TRUE(untouched.changed.empty());
  EXPECT_TRUE(copy == font);

  // Level 15 at (2, 3) of cell 1 (column 1), level 5 at (23, 23) of the
  // blank cell 7000 (column 1, row 1); the gap painted over is not read.
  SetPixel(picture, sheet.layout.CellX(1) + 2, sheet.layout.CellY(0) + 3, 0, 0, 0);
  SetPixel(picture, sheet.layout.CellX(1) + 23, sheet.layout.CellY(1) + 23, 170, 170, 170);
  SetPixel(picture, 0, 0, 0, 0, 0);
  SetPixel(picture, sheet.layout.CellX(2) - 1, 5, 12, 200, 7);
  const SheetImport edited = ImportSheet(copy, Size24(), sheet, picture);
  ASSERT_TRUE(edited) << edited.error;
  ASSERT_EQ(edited.changed.size(), 2u);
  EXPECT_EQ(edited.changed[0].position, 1u);
  EXPECT_EQ(edited.changed[1].position, 7000u);
  EXPECT_EQ(ReadPixel(copy, Size24(), 1, 2, 3), 15);
  EXPECT_EQ(ReadPixel(copy, Size24(), 7000, 23, 23), 5);
  std::size_t differing = 0;
  for (std::size_t i = 0; i < font.size(); ++i) differing += font[i] != copy[i];
  EXPECT_EQ(differing, 2u);                                                           // one byte of each
  EXPECT_EQ(ReadPixel(copy, Size24(), 1, 3, 3), ReadPixel(font, Size24(), 1, 3, 3));  // its neighbour nibble stays
}

TEST(GlyphSheetTest, RefusalsLeaveTheFontAsItWas) {
  const std::vector<unsigned char> font = Font();
  const GlyphSheet sheet = Sheet({0, 1, 2}, 2);
  const DecodedPng good = Saved(font, sheet);
  struct Case {
    const char* name;
    std::function<void(DecodedPng&, GlyphSheet&)> spoil;
    const char* needle;
  };
  const Case cases[] = {
      {"a grey between the levels",
       [](DecodedPng& p, GlyphSheet& s) { SetPixel(p, s.layout.CellX(1) + 4, 1, 100, 100, 100); }, "(30, 1)"},
      {"a coloured pixel", [](DecodedPng& p, GlyphSheet&) { SetPixel(p, 1, 1, 255, 255, 254); }, "16 greys"},
      {"a translucent pixel", [](DecodedPng& p, GlyphSheet&) { SetPixel(p, 3, 30, 0, 0, 0, 254); }, "0x8142"},
      {"a picture cut short",
       [](DecodedPng& p, GlyphSheet&) {
         p.height -= 1;
         p.rgba.resize(std::size_t{p.width} * p.height * 4);
       },
       "pixels; its index lays out a sheet of 51x51"},
      {"a code the file has not there", [](DecodedPng&, GlyphSheet& s) { s.cells[2].code = 0x889F; }, "0x8142 there"},
      {"an index of another size", [](DecodedPng&, GlyphSheet& s) { s.layout.cellSize = 20; }, "20 px"},
  };
  for (const Case& c : cases) {
    DecodedPng picture = good;
    GlyphSheet spoilt = sheet;
    c.spoil(picture, spoilt);
    // An edit in another cell that must not land either.
    SetPixel(picture, 2, 2, 0, 0, 0);
    std::vector<unsigned char> copy = font;
    const SheetImport refused = ImportSheet(copy, Size24(), spoilt, picture);
    EXPECT_FALSE(refused) << c.name;
    EXPECT_NE(refused.error.find(c.needle), std::string::npos) << c.name << ": " << refused.error;
    EXPECT_TRUE(copy == font) << c.name;
  }
}

TEST(SheetIndexTest, TheIndexReadsBackAsWritten) {
  GlyphSheet sheet = Sheet({4, 0, 7831}, 2);
  sheet.cells[1].character.reset();
  sheet.cells[2].character = U'\u3002';
  const SheetIndexResult read = ParseSheetIndex(SheetIndexJson(sheet));
  ASSERT_TRUE(read) << read.error;
  EXPECT_EQ(read.sheet.layout.cellSize, 24u);
  EXPECT_EQ(read.sheet.layout.columns, 2u);
  EXPECT_EQ(read.sheet.layout.rows, 2u);
  ASSERT_EQ(read.sheet.cells.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(read.sheet.cells[i].position, sheet.cells[i].position);
    EXPECT_EQ(read.sheet.cells[i].code, sheet.cells[i].code);
    EXPECT_EQ(read.sheet.cells[i].character, sheet.cells[i].character);
    EXPECT_EQ(read.sheet.cells[i].column, sheet.cells[i].column);
    EXPECT_EQ(read.sheet.cells[i].row, sheet.cells[i].row);
  }
  EXPECT_NE(SheetIndexJson(sheet).find("\"code\":\"0x9FD7\""), std::string::npos);  // 0x8140 + 7831
}

TEST(SheetIndexTest, RefusesWhatIsNotAnIndexOfThisTool) {
  const std::string head = R"({"format":"qzffont glyph sheet","version":1,"size":24,"columns":2,"rows":2,"cells":)";
  const std::pair<std::string, const char*> cases[] = {
      {"", "not JSON"},
      {"[1,2]", "not JSON"},
      {R"({"format":"other","version":1})", "not a glyph sheet index"},
      {R"({"format":"qzffont glyph sheet","version":2})", "not a glyph sheet index"},
      {R"({"format":"qzffont glyph sheet","version":1,"size":32,"columns":1,"rows":1,"cells":[]})", "20, 24 or 64"},
      {R"({"format":"qzffont glyph sheet","version":1,"size":24,"columns":0,"rows":1,"cells":[]})", "grid"},
      {R"({"format":"qzffont glyph sheet","version":1,"size":24,"columns":5000,"rows":5000,"cells":[]})", "grid"},
      {R"({"format":"qzffont glyph sheet","version":1,"size":24,"columns":2,"rows":2})", "no list of cells"},
      {R"({"format":"qzffont glyph sheet","version":1,"size":24,"columns":2,"rows":2,"gap":2,"cells":[]})", "gap"},
      {head + R"([{"column":2,"row":0,"position":0,"code":"0x8140"}]})", "cell 1 of the index without"},
      {head + R"([{"column":0,"row":0,"position":7832,"code":"0x8140"}]})", "without"},
      {head + R"([{"column":0,"row":0,"position":0,"code":"0x81"}]})", "without"},
      {head + R"([{"column":0,"row":0,"position":0,"code":"0x81G0"}]})", "without"},
      {head + R"([{"column":0,"row":0,"position":-1,"code":"0x8140"}]})", "without"},
      {head +
           R"([{"column":0,"row":0,"position":0,"code":"0x8140"},{"column":0,"row":0,"position":1,"code":"0x8141"}]})",
       "cell 2 of the index at a place or position taken"},
      {head +
           R"([{"column":0,"row":0,"position":0,"code":"0x8140"},{"column":1,"row":0,"position":0,"code":"0x8140"}]})",
       "taken already"},
      {head + R"([7]})", "not an object"},
  };
  for (const auto& [json, needle] : cases) {
    const SheetIndexResult read = ParseSheetIndex(json);
    EXPECT_FALSE(read) << json;
    EXPECT_NE(read.error.find(needle), std::string::npos) << json << ": " << read.error;
  }
}

TEST(SheetIndexTest, TheIndexSitsBesideThePicture) {
  EXPECT_EQ(SheetIndexPath("sheet.png"), "sheet.json");
  EXPECT_EQ(SheetIndexPath("dir/Sheet.PNG"), "dir/Sheet.json");
  EXPECT_EQ(SheetIndexPath("sheet"), "sheet.json");
  EXPECT_EQ(SheetIndexPath("a.png.bak"), "a.png.bak.json");
}

}  // namespace
}  // namespace qzf
