#include "fontbuild/style_messages.h"

#include <cstdio>

#include "fontbuild/style_table.h"

namespace qzf {
namespace {

constexpr std::size_t kMostQuotedBytes = 60;

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%g", value);
  return text;
}

// The length of the valid UTF-8 sequence at the start of `text`; 0 if none.
std::size_t Utf8Length(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
  if (length == 0 || text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
  return length;
}

struct Texts {
  std::string subject;  // the setting, and the size it was given for
  std::string quoted;
  std::string range;  // what the value must be, for numbers and pairs
  std::string choices;
};

Texts TextsOf(const ValueError& e, MessageLanguage language) {
  Texts t;
  t.quoted = QuotedValue(e.value);
  const StyleSetting* setting = FindStyleSetting(e.setting);
  if (!setting) {
    t.subject = e.setting;
    return t;
  }
  // English names the setting as it is typed, Chinese by its label.
  const std::string name(language == MessageLanguage::kChinese ? setting->label : setting->name);
  t.subject = e.cellSize > 0 ? Say(MessageId::kValueSubjectAtSize, language, {name, std::to_string(e.cellSize)}) : name;
  const std::string low = Number(setting->Low(e.cellSize));
  const std::string high = Number(setting->High(e.cellSize));
  switch (setting->kind) {
    case SettingKind::kInteger:
      t.range = Say(MessageId::kRangeInteger, language, {low, high});
      break;
    case SettingKind::kNumber:
      t.range = Say(MessageId::kRangeNumber, language, {low, high});
      break;
    case SettingKind::kPair:
      t.range = Say(MessageId::kRangePair, language, {low, high});
      break;
    default:
      break;
  }
  for (std::size_t i = 0; i < setting->choices.size(); ++i)
    t.choices +=
        (i ? std::string(MessageText(MessageId::kListSeparator, language)) : "") + std::string(setting->choices[i]);
  return t;
}

MessageId MessageOf(ValueProblem problem) {
  switch (problem) {
    case ValueProblem::kEmpty:
      return MessageId::kValueEmpty;
    case ValueProblem::kControlCharacter:
      return MessageId::kValueControlCharacter;
    case ValueProblem::kNotInRange:
    case ValueProblem::kNotPair:
      return MessageId::kValueNotInRange;
    case ValueProblem::kNotFlag:
      return MessageId::kValueNotFlag;
    case ValueProblem::kNotChoice:
      return MessageId::kValueNotChoice;
    case ValueProblem::kNotText:
      return MessageId::kValueNotText;
    case ValueProblem::kTooLong:
      return MessageId::kValueTooLong;
    case ValueProblem::kTooMany:
      return MessageId::kValueTooMany;
    case ValueProblem::kUnknownSetting:
      return MessageId::kValueUnknownSetting;
    case ValueProblem::kNotPerSize:
      return MessageId::kValueNotPerSize;
    case ValueProblem::kNotTable:
      return MessageId::kValueNotTable;
    case ValueProblem::kBadSize:
      return MessageId::kValueBadSize;
    case ValueProblem::kDuplicateSize:
      return MessageId::kValueDuplicateSize;
    case ValueProblem::kBadSizeList:
      return MessageId::kValueBadSizeList;
    case ValueProblem::kNotForGlyph:
      return MessageId::kValueNotForGlyph;
    case ValueProblem::kGlyphOnly:
      return MessageId::kValueGlyphOnly;
    case ValueProblem::kBadGlyph:
      return MessageId::kValueBadGlyph;
  }
  return MessageId::kValueOther;
}

// Problems of where a setting was given rather than of its value: English
// names the setting bare, as the style file spells it.
bool NamesSettingBare(ValueProblem problem) {
  switch (problem) {
    case ValueProblem::kNotPerSize:
    case ValueProblem::kNotTable:
    case ValueProblem::kBadSizeList:
    case ValueProblem::kNotForGlyph:
    case ValueProblem::kGlyphOnly:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string QuotedValue(std::string_view text) {
  std::string out = "\"";
  std::size_t i = 0;
  while (i < text.size() && i < kMostQuotedBytes) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += text[i++];
    } else if (byte == '\n') {
      out += "\\n";
      ++i;
    } else if (byte == '\t') {
      out += "\\t";
      ++i;
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += text[i++];
    } else if (const std::size_t length = byte >= 0x80 ? Utf8Length(text.substr(i)) : 0) {
      out += text.substr(i, length);
      i += length;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02X", byte);
      out += escaped;
      ++i;
    }
  }
  if (i < text.size()) out += "...";
  return out + "\"";
}

std::string ValueErrorText(const ValueError& error, MessageLanguage language) {
  const Texts t = TextsOf(error, language);
  const bool bare = language == MessageLanguage::kEnglish && NamesSettingBare(error.problem);
  const std::string detail = error.problem == ValueProblem::kNotChoice ? t.choices : t.range;
  const std::string text =
      Say(MessageOf(error.problem), language, {bare ? error.setting : t.subject, t.quoted, detail});
  if (error.glyph.empty() || error.problem == ValueProblem::kBadGlyph) return text;
  return Say(MessageId::kValueInGlyph, language, {QuotedValue(error.glyph), text});
}

}  // namespace qzf
