#include "fontbuild/style_value.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "fontbuild/style_table.h"

namespace qzf {
namespace {

constexpr std::size_t kMostItemBytes = 255;

bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

std::optional<std::int64_t> IntegerOf(std::string_view text) {
  std::int64_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> NumberOf(const std::string& text) {
  // from_chars for doubles is not in every standard library the builds use.
  // strtod would also take hexadecimal, "inf" and "nan": decimal digits only.
  if (text.find_first_not_of("0123456789.eE+-") != std::string::npos) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return std::nullopt;
  return value;
}

// The command line's text as the value a file would give for the setting's kind.
RawValue FromText(const StyleSetting& setting, const std::string& text) {
  RawValue raw;
  switch (setting.kind) {
    case SettingKind::kFlag:
      if (text == "true") raw.value = true;
      if (text == "false") raw.value = false;
      break;
    case SettingKind::kInteger:
      if (const auto v = IntegerOf(text)) raw.value = *v;
      break;
    case SettingKind::kNumber:
      if (const auto v = NumberOf(text)) raw.value = *v;
      break;
    case SettingKind::kPair: {
      const std::size_t colon = text.find(':');
      const auto x = colon == std::string::npos ? std::nullopt : IntegerOf(std::string_view(text).substr(0, colon));
      const auto y = colon == std::string::npos ? std::nullopt : IntegerOf(std::string_view(text).substr(colon + 1));
      if (x && y) raw.value = std::vector<RawValue>{{*x}, {*y}};
      break;
    }
    case SettingKind::kChoice:
    case SettingKind::kText:
      raw.value = text;
      break;
    case SettingKind::kTextList:
      raw.value = std::vector<RawValue>{{text}};
      break;
  }
  return raw;
}

class Reader {
 public:
  Reader(const StyleSetting& setting, const RawValue& raw, int cellSize, ValueError& error)
      : setting_(setting), raw_(raw), cellSize_(cellSize), error_(error) {}

  std::optional<StyleValue> Fail(ValueProblem problem, std::string value) {
    error_ = {problem, std::string(setting_.name), std::move(value), cellSize_, raw_.line, {}};
    return std::nullopt;
  }
  std::optional<StyleValue> Fail(ValueProblem problem) { return Fail(problem, RawValueText(raw_)); }

  std::optional<StyleValue> Read() {
    if (const auto* text = std::get_if<RawValue::Text>(&raw_.value)) {
      if (text->text.empty()) return Fail(ValueProblem::kEmpty, "");
      if (HasControlCharacter(text->text)) return Fail(ValueProblem::kControlCharacter, text->text);
      const RawValue typed = FromText(setting_, text->text);
      Reader reader(setting_, typed, cellSize_, error_);
      const auto value = reader.Read();
      if (!value) error_.value = text->text;  // the message quotes what was typed
      return value;
    }
    // An empty text where a number or a flag belongs is empty, not of the wrong type.
    if (const auto* text = std::get_if<std::string>(&raw_.value); text && text->empty())
      return Fail(ValueProblem::kEmpty, "");
    switch (setting_.kind) {
      case SettingKind::kFlag:
        if (const auto* b = std::get_if<bool>(&raw_.value)) return *b;
        return Fail(ValueProblem::kNotFlag);
      case SettingKind::kInteger: {
        const auto v = Integer(raw_);
        if (!v) return Fail(ValueProblem::kNotInRange);
        return static_cast<int>(*v);
      }
      case SettingKind::kNumber: {
        double v = 0;
        if (const auto* i = std::get_if<std::int64_t>(&raw_.value)) {
          v = static_cast<double>(*i);
        } else if (const auto* d = std::get_if<double>(&raw_.value)) {
          v = *d;
        } else {
          return Fail(ValueProblem::kNotInRange);
        }
        // Written so that NaN fails too.
        if (!(v >= setting_.Low(cellSize_) && v <= setting_.High(cellSize_))) return Fail(ValueProblem::kNotInRange);
        return v;
      }
      case SettingKind::kPair: {
        const auto* list = std::get_if<std::vector<RawValue>>(&raw_.value);
        if (!list || list->size() != 2) return Fail(ValueProblem::kNotPair);
        const auto x = Integer((*list)[0]);
        const auto y = Integer((*list)[1]);
        if (!x || !y) return Fail(ValueProblem::kNotPair);
        return IntPair{static_cast<int>(*x), static_cast<int>(*y)};
      }
      case SettingKind::kChoice: {
        const auto* text = std::get_if<std::string>(&raw_.value);
        if (!text || std::find(setting_.choices.begin(), setting_.choices.end(), *text) == setting_.choices.end())
          return Fail(ValueProblem::kNotChoice);
        return *text;
      }
      case SettingKind::kText: {
        const auto* text = std::get_if<std::string>(&raw_.value);
        if (!text) return Fail(ValueProblem::kNotText);
        if (const auto problem = TextProblem(*text, static_cast<std::size_t>(setting_.high)))
          return Fail(*problem, *text);
        return *text;
      }
      case SettingKind::kTextList: {
        const auto* list = std::get_if<std::vector<RawValue>>(&raw_.value);
        if (!list) return Fail(ValueProblem::kNotText);
        if (list->size() > static_cast<std::size_t>(setting_.high)) return Fail(ValueProblem::kTooMany, "");
        std::vector<std::string> texts;
        for (const RawValue& item : *list) {
          const std::string* text = std::get_if<std::string>(&item.value);
          if (const auto* typed = std::get_if<RawValue::Text>(&item.value)) text = &typed->text;
          if (!text) return Fail(ValueProblem::kNotText, RawValueText(item));
          if (const auto problem = TextProblem(*text, kMostItemBytes)) return Fail(*problem, *text);
          texts.push_back(*text);
        }
        return texts;
      }
    }
    return Fail(ValueProblem::kNotInRange);
  }

 private:
  // An integer within the limits; checked wide, before it is narrowed.
  std::optional<std::int64_t> Integer(const RawValue& raw) const {
    const auto* v = std::get_if<std::int64_t>(&raw.value);
    if (!v || static_cast<double>(*v) < setting_.Low(cellSize_) || static_cast<double>(*v) > setting_.High(cellSize_))
      return std::nullopt;
    return *v;
  }

  static std::optional<ValueProblem> TextProblem(const std::string& text, std::size_t mostBytes) {
    if (text.empty()) return ValueProblem::kEmpty;
    if (HasControlCharacter(text)) return ValueProblem::kControlCharacter;
    if (text.size() > mostBytes) return ValueProblem::kTooLong;
    return std::nullopt;
  }

  const StyleSetting& setting_;
  const RawValue& raw_;
  int cellSize_;
  ValueError& error_;
};

// The shortest text that reads back the same, with a point when the number
// is whole, so that a float is not shown as an integer.
std::string NumberText(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof(text), value);
  std::string out(text, result.ptr);
  if (out.find_first_not_of("0123456789-") == std::string::npos) out += ".0";
  return out;
}

}  // namespace

std::optional<StyleValue> ReadStyleValue(const StyleSetting& setting, const RawValue& raw, int cellSize,
                                         ValueError& error) {
  return Reader(setting, raw, cellSize, error).Read();
}

std::string RawValueText(const RawValue& raw) {
  struct Visitor {
    std::string operator()(const RawValue::Other&) const { return "?"; }
    std::string operator()(const RawValue::Null&) const { return "null"; }
    std::string operator()(const RawValue::Text& t) const { return t.text; }
    std::string operator()(bool b) const { return b ? "true" : "false"; }
    std::string operator()(std::int64_t i) const { return std::to_string(i); }
    std::string operator()(double d) const { return NumberText(d); }
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(const std::vector<RawValue>& list) const {
      std::string out = "[";
      for (std::size_t i = 0; i < list.size(); ++i) out += (i ? ", " : "") + RawValueText(list[i]);
      return out + "]";
    }
    std::string operator()(const RawTable&) const { return "{...}"; }
  };
  return std::visit(Visitor{}, raw.value);
}

}  // namespace qzf
