// Decodes a byte string of code page 932 or 936 to UTF-16 with the
// platform's own tables (iconv natively, the Windows API on Windows), apart
// from the tables the generator used.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qzf::test {

// Nullopt when any byte sequence has no character in the code page.
std::optional<std::u16string> DecodeCodePage(unsigned codePage, std::string_view bytes);

}  // namespace qzf::test
