#include "i18n/message_catalog.h"

#include <vector>

namespace qzf {
namespace {

// A plain array: deducing std::array's size from 270 entries exceeds clang's
// fold-expression limit.
constexpr MessageEntry kCatalog[] = {
#define QZF_MESSAGE(id, english, chinese) MessageEntry{MessageId::id, #id, english, chinese},
#include "i18n/message_table.inc"
#undef QZF_MESSAGE
};

}  // namespace

std::span<const MessageEntry> MessageCatalog() { return kCatalog; }

std::string_view MessageText(MessageId id, MessageLanguage language) {
  const MessageEntry& entry = kCatalog[static_cast<std::size_t>(id)];
  return language == MessageLanguage::kChinese ? entry.chinese : entry.english;
}

std::string Say(MessageId id, MessageLanguage language, std::initializer_list<std::string_view> values) {
  const std::string_view text = MessageText(id, language);
  const std::vector<std::string_view> given(values);
  std::string out;
  out.reserve(text.size() + 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 2 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9' && text[i + 2] == '}') {
      const auto index = static_cast<std::size_t>(text[i + 1] - '0');
      if (index < given.size()) out += given[index];
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace qzf
