#include "platform/fontengine/cp936_table.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

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

// Converts the 190 pairs of one lead byte in as few calls as iconv allows
// (one call per pair made building the table the slowest step of a short
// run). A pair iconv refuses is left 0 and stepped over. False when the
// output does not line up one unit per pair; the caller then goes pair by pair.
bool ConvertRow(iconv_t cd, unsigned lead, std::array<char16_t, 0x10000>& table) {
  constexpr std::size_t kPairs = 190;
  std::array<unsigned char, kPairs * 2> input{};
  std::array<unsigned, kPairs> codes{};
  std::size_t pairs = 0;
  for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
    if (trail == 0x7F) continue;
    input[pairs * 2] = static_cast<unsigned char>(lead);
    input[pairs * 2 + 1] = static_cast<unsigned char>(trail);
    codes[pairs++] = lead << 8 | trail;
  }
  std::array<char16_t, kPairs> row{};
  std::array<unsigned char, kPairs * 8> output{};
  std::size_t done = 0;
  while (done < pairs) {
    char* in = reinterpret_cast<char*>(input.data() + done * 2);
    std::size_t inLeft = (pairs - done) * 2;
    char* out = reinterpret_cast<char*>(output.data());
    std::size_t outLeft = output.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const bool stopped = iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1);
    const int error = errno;
    const std::size_t consumed = (pairs - done) * 2 - inLeft;
    const std::size_t produced = output.size() - outLeft;
    if (consumed % 2 != 0 || produced != consumed) return false;
    for (std::size_t i = 0; i < consumed / 2; ++i)
      row[done + i] = static_cast<char16_t>(output[i * 2] | (output[i * 2 + 1] << 8));
    done += consumed / 2;
    if (!stopped) break;
    if (error != EILSEQ && error != EINVAL) return false;
    ++done;  // the pair iconv refused stays unmapped
  }
  if (done != pairs) return false;
  for (std::size_t i = 0; i < pairs; ++i) table[codes[i]] = row[i];
  return true;
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
    if (!ConvertRow(raw, lead, *table)) {
      for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
        const unsigned char pair[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
        if (trail != 0x7F) (*table)[lead << 8 | trail] = convert(pair, 2);
      }
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
