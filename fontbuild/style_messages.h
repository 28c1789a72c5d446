// The texts of the value reader's refusals, in one place: from a problem and
// what it names to one line, in English (command line, style files) or in
// Simplified Chinese (the studio's page). Values are quoted safely: control
// characters, quotes and bytes that are not UTF-8 escaped, long values cut.
#pragma once

#include <string>
#include <string_view>

#include "fontbuild/style_value.h"

namespace qzf {

enum class MessageLanguage { kEnglish, kChinese };

std::string ValueErrorText(const ValueError& error, MessageLanguage language);

// `text` in double quotes, safe to print on one line.
std::string QuotedValue(std::string_view text);

}  // namespace qzf
