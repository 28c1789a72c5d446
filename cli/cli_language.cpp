#include "cli/cli_language.h"

#include <cstdlib>

#include "i18n/locale_language.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace qzf::cli {
namespace {

MessageLanguage language = MessageLanguage::kEnglish;

#ifndef _WIN32
std::string_view Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}
#endif

}  // namespace

MessageLanguage SystemLanguage() {
#ifdef _WIN32
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE ? MessageLanguage::kChinese
                                                                   : MessageLanguage::kEnglish;
#else
  return LanguageOfLocale(Environment("LC_ALL"), Environment("LC_MESSAGES"), Environment("LANG"));
#endif
}

void SetLanguage(MessageLanguage chosen) { language = chosen; }

MessageLanguage Language() { return language; }

}  // namespace qzf::cli
