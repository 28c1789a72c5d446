// UTF-8, the encoding of the texts a user gives, decoded to code points and
// back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qzf {

// Nullopt when the bytes are not well-formed UTF-8 (overlong forms,
// surrogates and values past U+10FFFF included). A leading byte order mark
// is dropped.
std::optional<std::u32string> DecodeUtf8(std::string_view utf8);

std::string EncodeUtf8(char32_t c);

}  // namespace qzf
