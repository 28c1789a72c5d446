#include "fontbuild/style_file.h"

#include <toml++/toml.h>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "fontbuild/style_messages.h"
#include "fontbuild/style_tree.h"

namespace qzf {
namespace {

RawValue RawOfNode(const toml::node& node) {
  RawValue raw;
  raw.line = static_cast<int>(node.source().begin.line);
  if (const auto* v = node.as_boolean()) {
    raw.value = v->get();
  } else if (const auto* i = node.as_integer()) {
    raw.value = std::int64_t{i->get()};
  } else if (const auto* d = node.as_floating_point()) {
    raw.value = d->get();
  } else if (const auto* s = node.as_string()) {
    raw.value = s->get();
  } else if (const auto* array = node.as_array()) {
    std::vector<RawValue> items;
    for (const toml::node& item : *array) items.push_back(RawOfNode(item));
    raw.value = std::move(items);
  } else if (const auto* table = node.as_table()) {
    RawTable entries;
    for (const auto& [key, value] : *table) entries.emplace_back(std::string(key.str()), RawOfNode(value));
    raw.value = std::move(entries);
  }
  return raw;
}

void AppendString(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\u%04X", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
}

// The shortest text that reads back as the same number, always with a point
// or an exponent so that TOML keeps it a float.
std::string FormatDouble(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
  std::string text(buffer, result.ptr);
  if (text.find_first_of(".eE") == std::string::npos) text += ".0";
  return text;
}

void AppendValue(std::string& out, const RawValue& raw) {
  if (const auto* b = std::get_if<bool>(&raw.value)) {
    out += *b ? "true" : "false";
  } else if (const auto* i = std::get_if<std::int64_t>(&raw.value)) {
    out += std::to_string(*i);
  } else if (const auto* d = std::get_if<double>(&raw.value)) {
    out += FormatDouble(*d);
  } else if (const auto* s = std::get_if<std::string>(&raw.value)) {
    AppendString(out, *s);
  } else if (const auto* list = std::get_if<std::vector<RawValue>>(&raw.value)) {
    out += '[';
    for (std::size_t i = 0; i < list->size(); ++i) {
      if (i) out += ", ";
      AppendValue(out, (*list)[i]);
    }
    out += ']';
  }
}

void AppendTable(std::string& out, const RawTable& table) {
  for (const auto& [key, value] : table) {
    if (std::holds_alternative<RawTable>(value.value)) continue;
    out += key + " = ";
    AppendValue(out, value);
    out += "\n";
  }
}

// A key as a table header takes it: bare where TOML allows, else quoted.
std::string HeaderKey(const std::string& key) {
  const bool bare = !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
  });
  if (bare) return key;
  std::string quoted;
  AppendString(quoted, key);
  return quoted;
}

// The tables under `table`, each under its header ([size.20], [glyph."X"],
// [glyph."X".size.20]); a table without values of its own, unless it is
// empty, only through the tables under it.
void AppendSubtables(std::string& out, const std::string& path, const RawTable& table) {
  for (const auto& [key, value] : table) {
    const auto* inner = std::get_if<RawTable>(&value.value);
    if (!inner) continue;
    const std::string header = path.empty() ? HeaderKey(key) : path + "." + HeaderKey(key);
    const bool hasValues = std::any_of(inner->begin(), inner->end(), [](const auto& entry) {
      return !std::holds_alternative<RawTable>(entry.second.value);
    });
    if (hasValues || inner->empty()) {
      out += "\n[" + header + "]\n";
      AppendTable(out, *inner);
    }
    AppendSubtables(out, header, *inner);
  }
}

}  // namespace

std::optional<StyleSettings> ParseStyleText(std::string_view text, StyleFileError& error) {
  toml::table root;
  try {
    root = toml::parse(text);
  } catch (const toml::parse_error& e) {
    error.line = static_cast<int>(e.source().begin.line);
    error.message = "not TOML: " + std::string(e.description());
    return std::nullopt;
  }
  const RawValue tree = RawOfNode(root);
  ValueError problem;
  auto settings = ReadStyleTree(std::get<RawTable>(tree.value), problem);
  if (!settings) {
    error.line = problem.line;
    error.message = ValueErrorText(problem, MessageLanguage::kEnglish);
    error.value = problem;
  }
  return settings;
}

std::string FormatStyleText(const StyleSettings& settings) {
  std::string out = "# qzffont glyph style\n";
  const RawTable tree = StyleTree(settings);
  AppendTable(out, tree);
  AppendSubtables(out, "", tree);
  return out;
}

}  // namespace qzf
