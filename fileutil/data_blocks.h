// The data blocks every program carries: the stock game font file and the
// code-mapping dictionary text. The build embeds them under these numbers.
#pragma once

namespace qzf {

inline constexpr int kStockFontBlock = 130;
inline constexpr int kDictionaryBlock = 131;

}  // namespace qzf
