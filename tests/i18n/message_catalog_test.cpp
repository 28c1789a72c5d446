#include "i18n/message_catalog.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "i18n/locale_language.h"

namespace qzf {
namespace {

// How often each {N} stands in the text; a brace that opens no placeholder
// is an error, as Say would print it as it is.
std::map<int, int> Placeholders(std::string_view text, std::string& error) {
  std::map<int, int> found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '{' && text[i] != '}') continue;
    if (text[i] == '{' && i + 2 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9' && text[i + 2] == '}') {
      ++found[text[i + 1] - '0'];
      i += 2;
    } else {
      error = "a brace that is no placeholder at byte " + std::to_string(i);
    }
  }
  return found;
}

bool HasCjk(std::string_view text) {
  // Every CJK ideograph and full-width sign used starts with lead byte E3 to E9, or EF (full-width forms).
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 0xE3 && byte <= 0xE9) || byte == 0xEF) return true;
  }
  return false;
}

TEST(MessageCatalog, EveryMessageInBothLanguagesWithTheSameValues) {
  std::set<std::string_view> names;
  const auto catalog = MessageCatalog();
  ASSERT_GT(catalog.size(), 50u);
  for (std::size_t i = 0; i < catalog.size(); ++i) {
    const MessageEntry& entry = catalog[i];
    SCOPED_TRACE(std::string(entry.name));
    EXPECT_EQ(static_cast<std::size_t>(entry.id), i);
    EXPECT_TRUE(names.insert(entry.name).second) << "named twice";
    EXPECT_FALSE(entry.english.empty());
    EXPECT_FALSE(entry.chinese.empty());
    std::string englishError, chineseError;
    const auto english = Placeholders(entry.english, englishError);
    const auto chinese = Placeholders(entry.chinese, chineseError);
    EXPECT_EQ(englishError, "");
    EXPECT_EQ(chineseError, "");
    // The same values, though a language may name one twice or in another order.
    std::set<int> englishSet, chineseSet;
    for (const auto& [index, count] : english) englishSet.insert(index);
    for (const auto& [index, count] : chinese) chineseSet.insert(index);
    EXPECT_EQ(englishSet, chineseSet);
    EXPECT_FALSE(HasCjk(entry.english)) << "English text with Chinese in it";
    // A Chinese text is Chinese unless it is only values and signs.
    if (entry.chinese != entry.english) {
      EXPECT_TRUE(HasCjk(entry.chinese)) << entry.chinese;
    }
  }
}

TEST(MessageCatalog, SayFillsTheValues) {
  struct Case {
    MessageId id;
    MessageLanguage language;
    std::initializer_list<std::string_view> values;
    std::string expected;
  };
  const Case cases[] = {
      {MessageId::kCannotRead, MessageLanguage::kEnglish, {"a b.qzf"}, "cannot read a b.qzf"},
      {MessageId::kCannotRead, MessageLanguage::kChinese, {"甲.qzf"}, "读不到 甲.qzf"},
      // A value that itself holds a placeholder is not filled again.
      {MessageId::kValueOther, MessageLanguage::kEnglish, {"{1}", "x"}, "{1}: x"},
      // Values in another order than given.
      {MessageId::kValueSubjectAtSize, MessageLanguage::kChinese, {"字重", "24"}, "24 像素格子的字重"},
      // A value not given leaves nothing.
      {MessageId::kValueOther, MessageLanguage::kEnglish, {"only"}, "only: "},
  };
  for (const Case& c : cases) EXPECT_EQ(Say(c.id, c.language, c.values), c.expected);
}

TEST(LocaleLanguage, FirstSetVariableDecides) {
  struct Case {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    MessageLanguage expected;
  };
  constexpr auto zh = MessageLanguage::kChinese;
  constexpr auto en = MessageLanguage::kEnglish;
  const Case cases[] = {
      {"", "", "", en},
      {"", "", "zh_CN.UTF-8", zh},
      {"", "", "zh_TW.Big5", zh},
      {"", "", "en_US.UTF-8", en},
      {"C", "", "zh_CN.UTF-8", en},            // LC_ALL first
      {"", "en_GB.UTF-8", "zh_CN.UTF-8", en},  // then LC_MESSAGES
      {"", "zh_CN.GBK", "en_US.UTF-8", zh},
      {"zh_SG.UTF-8", "en_US", "en_US", zh},
      {"", "", "ZH_CN", en},  // locale names are case-sensitive
      {"", "", "POSIX", en},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LanguageOfLocale(c.lcAll, c.lcMessages, c.lang), c.expected)
        << c.lcAll << " / " << c.lcMessages << " / " << c.lang;
  EXPECT_EQ(LanguageNamed("zh"), zh);
  EXPECT_EQ(LanguageNamed("en"), en);
  EXPECT_EQ(LanguageNamed("fr"), std::nullopt);
  EXPECT_EQ(LanguageNamed("zh_CN"), std::nullopt);
}

}  // namespace
}  // namespace qzf
