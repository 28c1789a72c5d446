// The language a POSIX locale asks for: the first of LC_ALL, LC_MESSAGES
// and LANG that is set and not empty decides; zh... is Chinese, anything
// else English.
#pragma once

#include <optional>
#include <string_view>

#include "i18n/message_catalog.h"

namespace qzf {

MessageLanguage LanguageOfLocale(std::string_view lcAll, std::string_view lcMessages, std::string_view lang);

// "zh" or "en" (as --lang takes them); nothing for any other.
std::optional<MessageLanguage> LanguageNamed(std::string_view name);

}  // namespace qzf
