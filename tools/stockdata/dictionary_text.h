// The dictionary text format, byte for byte as the dictionary's own saver
// writes it: a banner, one marker-framed block per entry, a trailer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qzf::stock {

struct TextEntry {
  std::string eng;
  std::string chi;
  std::string remark00;
};

// `stamp` fills the banner's date and time, "YYYY-MM-DD hh:mm:ss".
std::string FormatDictionaryText(const std::vector<TextEntry>& entries, std::string_view stamp);

}  // namespace qzf::stock
