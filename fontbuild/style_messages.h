// The value reader's refusals as one line each, from the message catalog:
// the command line's language for the command line and style files, Chinese
// for the studio's page. Values are quoted safely: control characters,
// quotes and bytes that are not UTF-8 escaped, long values cut.
#pragma once

#include <string>
#include <string_view>

#include "fontbuild/style_value.h"
#include "i18n/message_catalog.h"

namespace qzf {

std::string ValueErrorText(const ValueError& error, MessageLanguage language);

// `text` in double quotes, safe to print on one line.
std::string QuotedValue(std::string_view text);

}  // namespace qzf
