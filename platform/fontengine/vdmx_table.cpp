#include "platform/fontengine/vdmx_table.h"

namespace qzf {
namespace {

// Big-endian reads that fail, rather than read past the table, on a short one.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::optional<unsigned> U8(size_t at) const {
    if (at >= bytes_.size()) return std::nullopt;
    return bytes_[at];
  }
  std::optional<unsigned> U16(size_t at) const {
    if (at + 2 > bytes_.size() || at + 2 < at) return std::nullopt;
    return static_cast<unsigned>(bytes_[at] << 8 | bytes_[at + 1]);
  }
  std::optional<int> S16(size_t at) const {
    auto v = U16(at);
    if (!v) return std::nullopt;
    return static_cast<int>(static_cast<std::int16_t>(*v));
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

// The group for a 1:1 device aspect ratio: the first ratio record that
// covers it (or covers every ratio, all zero). Records of character set 0
// are passed over, as GDI passes them over.
std::optional<size_t> FindGroup(const Reader& r) {
  const auto numRatios = r.U16(4);
  if (!numRatios) return std::nullopt;
  constexpr size_t kHeader = 6;
  for (size_t i = 0; i < *numRatios; ++i) {
    const size_t at = kHeader + i * 4;
    const auto charSet = r.U8(at), x = r.U8(at + 1), yStart = r.U8(at + 2), yEnd = r.U8(at + 3);
    if (!charSet || !x || !yStart || !yEnd) return std::nullopt;
    if (*charSet == 0) continue;
    const bool any = *x == 0 && *yStart == 0 && *yEnd == 0;
    const bool square = *x == 1 && *yStart <= 1 && *yEnd >= 1;
    if (!any && !square) continue;
    const auto offset = r.U16(kHeader + *numRatios * 4 + i * 2);
    if (!offset) return std::nullopt;
    return *offset;
  }
  return std::nullopt;
}

}  // namespace

std::optional<VdmxEntry> FindVdmxEntry(std::span<const std::uint8_t> table, int height) {
  const Reader r(table);
  const auto group = FindGroup(r);
  if (!group) return std::nullopt;
  const auto recs = r.U16(*group);
  const auto startSize = r.U8(*group + 2), endSize = r.U8(*group + 3);
  if (!recs || !startSize || !endSize) return std::nullopt;

  auto entryAt = [&](size_t i) -> std::optional<VdmxEntry> {
    const size_t at = *group + 4 + i * 6;
    const auto ppem = r.U16(at);
    const auto yMax = r.S16(at + 2), yMin = r.S16(at + 4);
    if (!ppem || !yMax || !yMin) return std::nullopt;
    return VdmxEntry{static_cast<int>(*ppem), *yMax, *yMin};
  };

  if (height > 0) {
    // Entries ascend by size: take the exact fit, else the last one below.
    std::optional<VdmxEntry> previous;
    for (size_t i = 0; i < *recs; ++i) {
      const auto entry = entryAt(i);
      if (!entry) return std::nullopt;
      const int extent = entry->yMax - entry->yMin;
      if (extent == height) return entry;
      if (extent > height) return previous;
      previous = entry;
    }
    return std::nullopt;
  }
  const int ppem = -height;
  if (ppem < static_cast<int>(*startSize) || ppem > static_cast<int>(*endSize)) return std::nullopt;
  for (size_t i = 0; i < *recs; ++i) {
    const auto entry = entryAt(i);
    if (!entry || entry->ppem > ppem) return std::nullopt;
    if (entry->ppem == ppem) return entry;
  }
  return std::nullopt;
}

}  // namespace qzf
