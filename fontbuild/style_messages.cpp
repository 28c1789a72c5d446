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
  const bool chinese = language == MessageLanguage::kChinese;
  if (!setting) {
    t.subject = e.setting;
    return t;
  }
  if (chinese) {
    t.subject = (e.cellSize > 0 ? std::to_string(e.cellSize) + " 像素格子的" : "") + std::string(setting->label);
  } else {
    t.subject = std::string(setting->name) + (e.cellSize > 0 ? " at " + std::to_string(e.cellSize) + " px" : "");
  }
  const std::string low = Number(setting->Low(e.cellSize));
  const std::string high = Number(setting->High(e.cellSize));
  switch (setting->kind) {
    case SettingKind::kInteger:
      t.range = chinese ? low + " 到 " + high + " 的整数" : "an integer from " + low + " to " + high;
      break;
    case SettingKind::kNumber:
      t.range = chinese ? low + " 到 " + high + " 的数" : "a number from " + low + " to " + high;
      break;
    case SettingKind::kPair:
      t.range = chinese ? "两个 " + low + " 到 " + high + " 的整数（向右、向下）"
                        : "two integers (right, down) from " + low + " to " + high;
      break;
    default:
      break;
  }
  for (std::size_t i = 0; i < setting->choices.size(); ++i)
    t.choices += (i ? (chinese ? "、" : ", ") : "") + std::string(setting->choices[i]);
  return t;
}

std::string English(const ValueError& e, const Texts& t) {
  switch (e.problem) {
    case ValueProblem::kEmpty:
      return t.subject + ": the value is empty";
    case ValueProblem::kControlCharacter:
      return t.subject + ": " + t.quoted + " holds a control character";
    case ValueProblem::kNotInRange:
    case ValueProblem::kNotPair:
      return t.subject + ": " + t.quoted + " is not " + t.range;
    case ValueProblem::kNotFlag:
      return t.subject + ": " + t.quoted + " is not true or false";
    case ValueProblem::kNotChoice:
      return t.subject + ": " + t.quoted + " is not one of " + t.choices;
    case ValueProblem::kNotText:
      return t.subject + ": " + t.quoted + " is not text";
    case ValueProblem::kTooLong:
      return t.subject + ": " + t.quoted + " is too long (more than 255 bytes)";
    case ValueProblem::kTooMany:
      return t.subject + ": more names than the 16 it takes";
    case ValueProblem::kUnknownSetting:
      return "unknown setting " + t.quoted;
    case ValueProblem::kNotPerSize:
      return e.setting + ": the same for every size; give it outside the sizes";
    case ValueProblem::kNotTable:
      return e.setting + ": " + t.quoted + " is not a table of sizes 20, 24 and 64";
    case ValueProblem::kBadSize:
      return "size " + t.quoted + ": the cell sizes are 20, 24 and 64";
    case ValueProblem::kDuplicateSize:
      return t.subject + ": the size is given twice (" + t.quoted + ")";
    case ValueProblem::kBadSizeList:
      return e.setting + ": " + t.quoted + ": give SIZE=VALUE with SIZE 20, 24 or 64 (or one value for every size)";
    case ValueProblem::kNotForGlyph:
      return e.setting + ": the same for the whole font; a character takes face, image and the per-size settings";
    case ValueProblem::kGlyphOnly:
      return e.setting + ": for single characters only; give it under [glyph.\"X\"]";
    case ValueProblem::kBadGlyph:
      return "glyph " + t.quoted + ": give one character or a game code such as 0x8142";
  }
  return t.subject + ": " + t.quoted;
}

std::string Chinese(const ValueError& e, const Texts& t) {
  switch (e.problem) {
    case ValueProblem::kEmpty:
      return t.subject + "不能为空";
    case ValueProblem::kControlCharacter:
      return t.subject + "：" + t.quoted + " 含有控制字符";
    case ValueProblem::kNotInRange:
    case ValueProblem::kNotPair:
      return t.subject + "：" + t.quoted + " 不是" + t.range;
    case ValueProblem::kNotFlag:
      return t.subject + "：" + t.quoted + " 不是“是”或“否”";
    case ValueProblem::kNotChoice:
      return t.subject + "：" + t.quoted + " 不是 " + t.choices + " 之一";
    case ValueProblem::kNotText:
      return t.subject + "：" + t.quoted + " 不是文字";
    case ValueProblem::kTooLong:
      return t.subject + "：" + t.quoted + " 超过 255 字节";
    case ValueProblem::kTooMany:
      return t.subject + "：最多 16 个";
    case ValueProblem::kUnknownSetting:
      return "不认识的样式项 " + t.quoted;
    case ValueProblem::kNotPerSize:
      return t.subject + "对所有格子都一样，不能按格子设置";
    case ValueProblem::kNotTable:
      return "样式格式不对：" + t.quoted + " 应是 20、24、64 各种格子的设置";
    case ValueProblem::kBadSize:
      return "格子只有 20、24、64 三种，没有 " + t.quoted;
    case ValueProblem::kDuplicateSize:
      return t.subject + "给了两次（" + t.quoted + "）";
    case ValueProblem::kBadSizeList:
      return t.subject + "：" + t.quoted + " 应写成“格子=值”（格子为 20、24 或 64），或一个对所有格子的值";
    case ValueProblem::kNotForGlyph:
      return t.subject + "对整套字体都一样，不能为单个字设置";
    case ValueProblem::kGlyphOnly:
      return t.subject + "只能为单个字设置";
    case ValueProblem::kBadGlyph:
      return "单字设置 " + t.quoted + " 应是一个字，或 0x8142 这样的游戏编码";
  }
  return t.subject + "：" + t.quoted;
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
  const Texts texts = TextsOf(error, language);
  const bool chinese = language == MessageLanguage::kChinese;
  const std::string text = chinese ? Chinese(error, texts) : English(error, texts);
  if (error.glyph.empty() || error.problem == ValueProblem::kBadGlyph) return text;
  return (chinese ? "单字 " : "glyph.") + QuotedValue(error.glyph) + (chinese ? "：" : ": ") + text;
}

}  // namespace qzf
