#include "i18n/locale_language.h"

namespace qzf {

MessageLanguage LanguageOfLocale(std::string_view lcAll, std::string_view lcMessages, std::string_view lang) {
  for (const std::string_view setting : {lcAll, lcMessages, lang}) {
    if (setting.empty()) continue;
    return setting.starts_with("zh") ? MessageLanguage::kChinese : MessageLanguage::kEnglish;
  }
  return MessageLanguage::kEnglish;
}

std::optional<MessageLanguage> LanguageNamed(std::string_view name) {
  if (name == "zh") return MessageLanguage::kChinese;
  if (name == "en") return MessageLanguage::kEnglish;
  return std::nullopt;
}

}  // namespace qzf
