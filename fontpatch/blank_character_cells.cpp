#include "fontpatch/blank_character_cells.h"

#include <algorithm>

#include "fontpatch/pass_messages.h"
#include "platform/win32.h"

namespace qzf {
namespace {

constexpr std::uint16_t kIdeographicSpace = 0xA1A1;  // GBK

}  // namespace

std::array<std::vector<GlyphFinding>, SizeModeTable.size()> FindBlankCharacterCells(
    std::span<const unsigned char> image, const QorvStringDict& dictionary) {
  std::array<std::vector<GlyphFinding>, SizeModeTable.size()> found;
  const std::uint32_t count = ReadGlyphCount(image.data());
  for (std::uint32_t i = 0; i < count; ++i) {
    const CodeKey key = CodeKeyAt(image.data(), i);
    // The same test as the rewrite pass: which codes it draws a character for.
    const DictRecord* entry = dictionary.FindRecordA(key.data());
    if (entry == nullptr || entry->CHILength < 2 || lstrcmpiA(entry->CHI, pass_text::kNoChange) == 0) continue;
    const auto character = static_cast<std::uint16_t>(static_cast<unsigned char>(entry->CHI[0]) << 8 |
                                                      static_cast<unsigned char>(entry->CHI[1]));
    if (character == kIdeographicSpace) continue;
    for (std::size_t t = 0; t < SizeModeTable.size(); ++t) {
      const GlyphSizeInfo& size = SizeModeTable[t];
      const unsigned char* cell = image.data() + CellOffset(size, i);
      if (std::all_of(cell, cell + size.bytesPerCell, [](unsigned char b) { return b == 0; }))
        found[t].push_back({i, CodeAt(image.data(), i), character, 0});
    }
  }
  return found;
}

}  // namespace qzf
