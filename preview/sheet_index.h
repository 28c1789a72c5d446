// The index beside a glyph sheet: a JSON file naming the cell size, the grid
// and, for each place, the code-table position, game code and character of
// its cell. It sits beside the picture under the same name with .json for
// .png ("sheet.png" -> "sheet.json").
#pragma once

#include <string>
#include <string_view>

#include "preview/glyph_sheet.h"

namespace qzf {

// The index file's path for a sheet picture's path (UTF-8 or bytes alike).
std::string SheetIndexPath(const std::string& picturePath);

std::string SheetIndexJson(const GlyphSheet& sheet);

struct SheetIndexResult {
  GlyphSheet sheet;
  std::string error;  // empty when it was read
  explicit operator bool() const { return error.empty(); }
};

// Refused: not JSON, another format, a size other than 20, 24 or 64, a grid
// over the limits, a place outside the grid or taken twice, a position or
// code out of range or a position twice.
SheetIndexResult ParseSheetIndex(std::string_view json);

}  // namespace qzf
