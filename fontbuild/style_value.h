// The one reader of style values. The command line, the style file and the
// studio each turn what they were given into a RawValue and read it here, so
// that all three take and refuse the same values with the same message.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace qzf {

struct StyleSetting;

using IntPair = std::array<int, 2>;
// A checked value of one setting; which alternative follows the setting's kind.
using StyleValue = std::variant<bool, int, double, IntPair, std::string, std::vector<std::string>>;

// A value as its source gave it, before any check.
struct RawValue;
struct RawEntry;
// A table of a style file or an object of a request, keys in their order.
using RawTable = std::vector<RawEntry>;
struct RawValue {
  struct Other {};  // a type no setting takes
  struct Null {};   // JSON's null: not given
  // Text from the command line, read as the setting's kind ("18", "1:-1").
  struct Text {
    std::string text;
  };
  std::variant<Other, Null, Text, bool, std::int64_t, double, std::string, std::vector<RawValue>, RawTable> value;
  int line = 0;  // in a style file; 0: no line applies
};
// One key of a table and its value, named as a map's entries are. A class
// of its own rather than a std::pair: a pair of a type not yet complete may
// not be named in RawValue's own members.
struct RawEntry {
  RawEntry(std::string key, RawValue value) : first(std::move(key)), second(std::move(value)) {}
  std::string first;
  RawValue second;
};

enum class ValueProblem {
  kEmpty,
  kControlCharacter,
  kNotInRange,  // a number of the wrong type or outside the setting's limits
  kNotFlag,
  kNotPair,
  kNotChoice,
  kNotText,
  kTooLong,
  kTooMany,
  kUnknownSetting,
  kNotPerSize,
  kNotTable,
  kBadSize,
  kDuplicateSize,
  kBadSizeList,
  kNotForGlyph,  // a setting of the whole font given for one character
  kGlyphOnly,    // a setting for single characters given for the whole font
  kBadGlyph,     // a key of [glyph] that is neither one character nor a game code 0xHHHH
};

struct ValueError {
  ValueProblem problem = ValueProblem::kEmpty;
  std::string setting;  // the setting's name ("" when none applies)
  std::string value;    // what was given, as text (raw bytes: quote it before showing it)
  int cellSize = 0;     // the size it was given for; 0: every size
  int line = 0;         // in a style file; 0: no line applies
  std::string glyph;    // the character's key when given for one ("。", "0x8142"); "" for the font

  bool operator==(const ValueError&) const = default;
};

// Reads `raw` as a value of `setting` for `cellSize` (0: every size, whose
// limits are the largest size's). Nullopt with `error` set when it does not fit.
std::optional<StyleValue> ReadStyleValue(const StyleSetting& setting, const RawValue& raw, int cellSize,
                                         ValueError& error);

// How `raw` reads back for a message: text as it is, numbers, [a, b] lists.
std::string RawValueText(const RawValue& raw);

}  // namespace qzf
