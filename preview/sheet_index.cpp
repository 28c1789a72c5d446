#include "preview/sheet_index.h"

#include <nlohmann/json.hpp>

#include <set>
#include <utility>

#include "preview/utf8_text.h"

namespace qzf {
namespace {

constexpr const char* kFormat = "qzffont glyph sheet";
constexpr int kVersion = 1;
// More places than the code table has cells, with room for a ragged grid.
constexpr std::uint32_t kMaxPlaces = 2 * kIndexedGlyphCount;

std::string Hex(std::uint16_t code) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(code));
  return text;
}

std::optional<std::uint16_t> ParseCode(const nlohmann::json& value) {
  if (!value.is_string()) return std::nullopt;
  const std::string& text = value.get_ref<const std::string&>();
  if (text.size() != 6 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return std::nullopt;
  unsigned code = 0;
  for (std::size_t i = 2; i < 6; ++i) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return std::nullopt;
    code = code * 16 + static_cast<unsigned>(digit);
  }
  return static_cast<std::uint16_t>(code);
}

// A whole number in [0, limit), or nullopt.
std::optional<std::uint32_t> Count(const nlohmann::json& object, const char* key, std::uint64_t limit) {
  const auto it = object.find(key);
  if (it == object.end() || !it->is_number_unsigned()) return std::nullopt;
  const std::uint64_t value = it->get<std::uint64_t>();
  if (value >= limit) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

std::string SheetIndexPath(const std::string& picturePath) {
  const std::size_t n = picturePath.size();
  if (n >= 4) {
    std::string tail = picturePath.substr(n - 4);
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (tail == ".png") return picturePath.substr(0, n - 4) + ".json";
  }
  return picturePath + ".json";
}

std::string SheetIndexJson(const GlyphSheet& sheet) {
  nlohmann::ordered_json index;
  index["format"] = kFormat;
  index["version"] = kVersion;
  index["size"] = sheet.layout.cellSize;
  index["columns"] = sheet.layout.columns;
  index["rows"] = sheet.layout.rows;
  index["gap"] = kSheetGapWidth;
  index["width"] = sheet.layout.width();
  index["height"] = sheet.layout.height();
  nlohmann::ordered_json greys = nlohmann::ordered_json::array();
  for (std::uint8_t level = 0; level < 16; ++level) greys.push_back(SheetGrey(level));
  index["greys"] = greys;
  nlohmann::ordered_json cells = nlohmann::ordered_json::array();
  for (const SheetCell& cell : sheet.cells) {
    nlohmann::ordered_json entry;
    entry["column"] = cell.column;
    entry["row"] = cell.row;
    entry["position"] = cell.position;
    entry["code"] = Hex(cell.code);
    entry["character"] = cell.character ? nlohmann::ordered_json(EncodeUtf8(*cell.character)) : nullptr;
    cells.push_back(std::move(entry));
  }
  index["cells"] = cells;
  // One cell a line: the index stays readable and diffable.
  std::string text = "{\n";
  bool first = true;
  for (auto it = index.begin(); it != index.end(); ++it) {
    if (!first) text += ",\n";
    first = false;
    text += "  " + nlohmann::ordered_json(it.key()).dump() + ": ";
    if (it.key() != "cells") {
      text += it.value().dump();
      continue;
    }
    text += "[";
    for (std::size_t i = 0; i < it.value().size(); ++i) text += (i ? ",\n    " : "\n    ") + it.value()[i].dump();
    text += it.value().empty() ? "]" : "\n  ]";
  }
  return text + "\n}\n";
}

SheetIndexResult ParseSheetIndex(std::string_view json) {
  SheetIndexResult result;
  const nlohmann::json index = nlohmann::json::parse(json, nullptr, false);
  if (index.is_discarded() || !index.is_object()) {
    result.error = "is not JSON";
    return result;
  }
  const auto format = index.find("format");
  if (format == index.end() || *format != kFormat || index.value("version", nlohmann::json()) != kVersion) {
    result.error = "is not a glyph sheet index of this version";
    return result;
  }
  const auto size = Count(index, "size", 65);
  if (!size || (*size != 20 && *size != 24 && *size != 64)) {
    result.error = "gives a cell size other than 20, 24 or 64";
    return result;
  }
  const auto columns = Count(index, "columns", kMaxPlaces + 1);
  const auto rows = Count(index, "rows", kMaxPlaces + 1);
  if (!columns || !rows || *columns == 0 || *rows == 0 || std::uint64_t{*columns} * *rows > kMaxPlaces) {
    result.error = "gives a grid of columns and rows out of range";
    return result;
  }
  if (index.contains("gap") && index["gap"] != kSheetGapWidth) {
    result.error = "gives a gap other than " + std::to_string(kSheetGapWidth) + " pixel";
    return result;
  }
  result.sheet.layout = SheetLayout{*size, *columns, *rows};
  const auto cells = index.find("cells");
  if (cells == index.end() || !cells->is_array()) {
    result.error = "has no list of cells";
    return result;
  }
  std::set<std::pair<std::uint32_t, std::uint32_t>> places;
  std::set<std::uint32_t> positions;
  for (std::size_t i = 0; i < cells->size(); ++i) {
    const nlohmann::json& entry = (*cells)[i];
    const std::string which = "cell " + std::to_string(i + 1) + " of the index";
    if (!entry.is_object()) {
      result.error = "has " + which + " that is not an object";
      return result;
    }
    SheetCell cell;
    const auto column = Count(entry, "column", *columns);
    const auto row = Count(entry, "row", *rows);
    const auto position = Count(entry, "position", kIndexedGlyphCount);
    const auto code = entry.contains("code") ? ParseCode(entry["code"]) : std::nullopt;
    if (!column || !row || !position || !code) {
      result.error = "has " + which + " without a column, row, position or code in range";
      return result;
    }
    if (!places.emplace(*column, *row).second || !positions.insert(*position).second) {
      result.error = "has " + which + " at a place or position taken already";
      return result;
    }
    cell.column = *column;
    cell.row = *row;
    cell.position = *position;
    cell.code = *code;
    if (const auto character = entry.find("character"); character != entry.end() && character->is_string()) {
      const auto decoded = DecodeUtf8(character->get_ref<const std::string&>());
      if (decoded && decoded->size() == 1) cell.character = (*decoded)[0];
    }
    result.sheet.cells.push_back(cell);
  }
  return result;
}

}  // namespace qzf
