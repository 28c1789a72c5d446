// The stand-in for the game's code-mapping dictionary: 4904 entries keyed by
// game code, each naming the GBK character that replaces the code's glyph or
// the mark that keeps it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/stockdata/code_pages.h"
#include "tools/stockdata/dictionary_text.h"

namespace qzf::stock {

// The banner's fixed date and time, so that every build writes the same bytes.
inline constexpr std::string_view kStockDictionaryStamp = "2000-01-01 08:00:00";

// The entries in ascending code order:
// - 12 codes the game keeps ("!!!no_change!!!");
// - 3398 codes of rows 0x81-0x84 and 0x88-0xE4 whose character GB2312 also
//   has, less the 114 with the highest GB2312 codes, each with its own
//   character in GBK. The codes are the plain ascending ones: 0x844D has an
//   entry though the code table lost it to the second 0x814D, which has an
//   entry too, so that a pass still redraws 4892 cells;
// - 1494 codes given to other characters: the first 5 of row 0x87 and 1489
//   spread evenly over rows 0xE5 and up (0xEAA5 among them), with the GB2312
//   hanzi from 0xB0A1 up that no entry of the previous kind uses.
// Entries from 3497 on carry the bookkeeping tag "chs_append_No.<number>".
// Throws std::runtime_error when the code pages give other counts.
std::vector<TextEntry> BuildStockDictionary(const std::vector<std::uint16_t>& ascendingCodes,
                                            const CodePages& codePages);

}  // namespace qzf::stock
