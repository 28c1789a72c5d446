#include "platform/cp936_table.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <memory>

namespace qzf {
namespace {

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

// Windows' private-use mapping of the codes iconv does not map: three
// user-defined areas by formula, then the unassigned codes of the symbol rows
// in code order from U+E766.
void AddPrivateUse(std::array<char16_t, 0x10000>& table) {
  char16_t nextUnassigned = 0xE766;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F || table[lead << 8 | trail] != 0) continue;
      unsigned unit;
      if (lead >= 0xAA && lead <= 0xAF && trail >= 0xA1) {
        unit = 0xE000 + (lead - 0xAA) * 94 + (trail - 0xA1);
      } else if (lead >= 0xF8 && trail >= 0xA1) {
        unit = 0xE234 + (lead - 0xF8) * 94 + (trail - 0xA1);
      } else if (lead >= 0xA1 && lead <= 0xA7 && trail <= 0xA0) {
        unit = 0xE4C6 + (lead - 0xA1) * 96 + (trail - (trail < 0x7F ? 0x40 : 0x41));
      } else {
        unit = nextUnassigned++;
      }
      table[lead << 8 | trail] = static_cast<char16_t>(unit);
    }
  }
  table[0xFF] = 0xF8F5;
}

// Converts each single byte and each double-byte pair once, through one
// conversion descriptor.
std::unique_ptr<std::array<char16_t, 0x10000>> BuildTable() {
  auto table = std::make_unique<std::array<char16_t, 0x10000>>();
  table->fill(0);
  for (unsigned b = 0; b < 0x80; ++b) (*table)[b] = static_cast<char16_t>(b);
  iconv_t raw = iconv_open("UTF-16LE", "CP936");
  if (raw == reinterpret_cast<iconv_t>(-1)) return table;
  std::unique_ptr<void, IconvCloser> cd(raw);
  auto convert = [&](const unsigned char* bytes, size_t length) -> char16_t {
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
    size_t inLeft = length;
    unsigned char out[8] = {};
    char* outPtr = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof(out);
    iconv(raw, nullptr, nullptr, nullptr, nullptr);
    if (iconv(raw, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return 0;
    // Only characters of one UTF-16 unit count; code page 936 has no others.
    if (sizeof(out) - outLeft != 2) return 0;
    return static_cast<char16_t>(out[0] | (out[1] << 8));
  };
  for (unsigned b = 0; b < 0x100; ++b) {
    if (IsCp936LeadByte(b)) continue;
    const unsigned char single = static_cast<unsigned char>(b);
    if (b >= 0x80) (*table)[b] = convert(&single, 1);
  }
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      const unsigned char pair[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
      if (trail != 0x7F) (*table)[lead << 8 | trail] = convert(pair, 2);
    }
  }
  AddPrivateUse(*table);
  return table;
}

}  // namespace

char16_t Cp936ToUnicode(unsigned code) {
  static const auto table = BuildTable();
  return code < table->size() ? (*table)[code] : 0;
}

}  // namespace qzf
