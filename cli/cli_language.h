// The language the command line speaks: the locale's (on Windows the user's
// UI language) unless --lang chose one. Its texts come from the catalog.
#pragma once

#include <string>
#include <string_view>

#include "i18n/message_catalog.h"

namespace qzf::cli {

// From the environment, or on Windows from the UI language.
MessageLanguage SystemLanguage();

void SetLanguage(MessageLanguage language);
MessageLanguage Language();

// The catalog's message in the command line's language.
template <typename... Values>
std::string Text(MessageId id, const Values&... values) {
  return Say(id, Language(), {std::string_view(values)...});
}

}  // namespace qzf::cli
