// Every text the command line, the studio and the build failures show a
// player, each in English and in Simplified Chinese, kept in one table
// (message_table.inc): one entry per message, both texts side by side.
// Texts are UTF-8; {0}..{9} stand for the values given.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace qzf {

enum class MessageLanguage { kEnglish, kChinese };

enum class MessageId : std::uint16_t {
#define QZF_MESSAGE(id, english, chinese) id,
#include "i18n/message_table.inc"
#undef QZF_MESSAGE
};

struct MessageEntry {
  MessageId id;
  std::string_view name;
  std::string_view english;
  std::string_view chinese;
};

// The whole table, in the order of MessageId.
std::span<const MessageEntry> MessageCatalog();

std::string_view MessageText(MessageId id, MessageLanguage language);

// The message with {N} replaced by values[N] (a value not given leaves
// nothing).
std::string Say(MessageId id, MessageLanguage language, std::initializer_list<std::string_view> values = {});

}  // namespace qzf
