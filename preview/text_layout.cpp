#include "preview/text_layout.h"

#include <algorithm>
#include <unordered_map>

namespace qzf {

TextLayout LayOutText(std::u32string_view text, std::uint32_t width, const CharacterCodes& codes,
                      const CellSource& cells) {
  TextLayout layout;
  width = std::max<std::uint32_t>(width, 1);
  if (text.ends_with(U"\r\n")) {
    text.remove_suffix(2);
  } else if (text.ends_with(U"\n") || text.ends_with(U"\r")) {
    text.remove_suffix(1);
  }
  // Texts repeat their characters: each is looked up once.
  std::unordered_map<char32_t, std::optional<std::uint32_t>> found;
  std::uint32_t row = 0, column = 0, line = 1, lineColumn = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (c == U'\r' || c == U'\n') {
      if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
      ++row, ++line;
      column = lineColumn = 0;
      continue;
    }
    if (column == width) ++row, column = 0;
    ++lineColumn;
    layout.columns = std::max(layout.columns, column + 1);
    if (c == U' ') {
      ++column;
      continue;
    }
    auto it = found.find(c);
    if (it == found.end()) it = found.emplace(c, codes.CellFor(c, cells)).first;
    if (!it->second) layout.unknown.push_back({c, line, lineColumn});
    layout.placed.push_back({row, column, it->second});
    ++column;
  }
  layout.rows = row + 1;
  return layout;
}

}  // namespace qzf
