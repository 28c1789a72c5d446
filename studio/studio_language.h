// The studio speaks Chinese: its texts are the catalog's Chinese ones.
#pragma once

#include <string>
#include <string_view>

#include "i18n/message_catalog.h"

namespace qzf::studio {

template <typename... Values>
std::string Text(MessageId id, const Values&... values) {
  return Say(id, MessageLanguage::kChinese, {std::string_view(values)...});
}

}  // namespace qzf::studio
