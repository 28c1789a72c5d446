#include "tools/stockdata/code_pages.h"

namespace qzf::stock {
namespace {

// UTF-32BE needs no byte-order mark and reads the same on every host.
constexpr const char* kUcs = "UTF-32BE";

std::string TwoBytes(std::uint16_t code) {
  return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

std::string Ucs(char32_t c) {
  return std::string{static_cast<char>(c >> 24), static_cast<char>((c >> 16) & 0xFF),
                     static_cast<char>((c >> 8) & 0xFF), static_cast<char>(c & 0xFF)};
}

// Exactly one character, or nothing.
std::optional<char32_t> SingleUcs(const std::optional<std::string>& ucs) {
  if (!ucs || ucs->size() != 4) return std::nullopt;
  const auto byte = [&](int i) { return static_cast<char32_t>(static_cast<unsigned char>((*ucs)[i])); };
  return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

std::optional<std::uint16_t> DoubleByte(const std::optional<std::string>& bytes) {
  if (!bytes || bytes->size() != 2) return std::nullopt;
  return static_cast<std::uint16_t>(static_cast<unsigned char>((*bytes)[0]) << 8 |
                                    static_cast<unsigned char>((*bytes)[1]));
}

}  // namespace

CodePages::CodePages()
    : cp932ToUcs_(kUcs, "CP932"),
      ucsToGb2312_("GB2312", kUcs),
      gb2312ToUcs_(kUcs, "GB2312"),
      ucsToGbk_("CP936", kUcs),
      gbkToUcs_(kUcs, "CP936") {}

std::optional<char32_t> CodePages::FromCp932(std::uint16_t code) const {
  return SingleUcs(cp932ToUcs_.Convert(TwoBytes(code)));
}

std::optional<std::uint16_t> CodePages::ToGb2312(char32_t c) const { return DoubleByte(ucsToGb2312_.Convert(Ucs(c))); }

std::optional<char32_t> CodePages::FromGb2312(std::uint16_t code) const {
  return SingleUcs(gb2312ToUcs_.Convert(TwoBytes(code)));
}

std::optional<std::string> CodePages::ToGbk(char32_t c) const { return ucsToGbk_.Convert(Ucs(c)); }

std::optional<char32_t> CodePages::FromGbk(std::string_view bytes) const { return SingleUcs(gbkToUcs_.Convert(bytes)); }

}  // namespace qzf::stock
