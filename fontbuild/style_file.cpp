#include "fontbuild/style_file.h"

#include <toml++/toml.h>
#include <charconv>
#include <cmath>
#include <functional>

namespace qzf {
namespace {

int LineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

// Reads the values of one table into `settings`, for `cellSize` (0: every size).
class TableReader {
 public:
  TableReader(StyleFileError& error) : error_(error) {}

  bool Fail(const toml::node& node, std::string message) {
    error_.line = LineOf(node);
    error_.message = std::move(message);
    return false;
  }

  bool Integer(const toml::node& node, std::string_view key, std::optional<int>& into,
               const std::function<std::string(int)>& check) {
    const auto* value = node.as_integer();
    if (!value) return Fail(node, "'" + std::string(key) + "' must be an integer");
    const std::int64_t v = value->get();
    const std::string problem =
        v < -1000000 || v > 1000000 ? std::string("is out of range") : check(static_cast<int>(v));
    if (!problem.empty()) return Fail(node, "'" + std::string(key) + "' " + problem);
    into = static_cast<int>(v);
    return true;
  }

  bool Boolean(const toml::node& node, std::string_view key, std::optional<bool>& into) {
    const auto* value = node.as_boolean();
    if (!value) return Fail(node, "'" + std::string(key) + "' must be true or false");
    into = value->get();
    return true;
  }

  bool Size(const toml::node& node, std::string_view key, SizeStyleSettings& settings, int cellSize) {
    if (key == "glyph-size") return Integer(node, key, settings.glyphSize, CheckGlyphSize);
    if (key == "baseline")
      return Integer(node, key, settings.baseline, [cellSize](int v) { return CheckBaseline(v, cellSize); });
    if (key == "weight") return Integer(node, key, settings.weight, CheckWeight);
    if (key == "italic") return Boolean(node, key, settings.italic);
    if (key == "mono") return Boolean(node, key, settings.mono);
    if (key == "gamma") {
      double v = 0;
      if (const auto* f = node.as_floating_point()) {
        v = f->get();
      } else if (const auto* i = node.as_integer()) {
        v = static_cast<double>(i->get());
      } else {
        return Fail(node, "'gamma' must be a number");
      }
      const std::string problem = CheckGamma(v);
      if (!problem.empty()) return Fail(node, "'gamma' " + problem);
      settings.gamma = v;
      return true;
    }
    if (key == "shift") {
      const auto* array = node.as_array();
      std::optional<int> x, y;
      auto check = [cellSize](int v) { return CheckShift(v, cellSize); };
      if (!array || array->size() != 2) return Fail(node, "'shift' must be [right, down], two integers");
      if (!Integer(*array->get(0), "shift", x, check) || !Integer(*array->get(1), "shift", y, check)) return false;
      settings.shift = std::make_pair(*x, *y);
      return true;
    }
    return Fail(node, "unknown key '" + std::string(key) + "'");
  }

  bool Strings(const toml::node& node, std::string_view key, std::optional<std::vector<std::string>>& into) {
    const auto* array = node.as_array();
    if (!array) return Fail(node, "'" + std::string(key) + "' must be a list of strings");
    std::vector<std::string> values;
    for (const toml::node& item : *array) {
      const auto* text = item.as_string();
      if (!text || text->get().empty()) return Fail(item, "'" + std::string(key) + "' must be a list of strings");
      values.push_back(text->get());
    }
    into = std::move(values);
    return true;
  }

 private:
  StyleFileError& error_;
};

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

void AppendStrings(std::string& out, const std::vector<std::string>& values) {
  out += '[';
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) out += ", ";
    AppendString(out, values[i]);
  }
  out += ']';
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

void AppendSize(std::string& out, const SizeStyleSettings& s) {
  if (s.glyphSize) out += "glyph-size = " + std::to_string(*s.glyphSize) + "\n";
  if (s.baseline) out += "baseline = " + std::to_string(*s.baseline) + "\n";
  if (s.shift) out += "shift = [" + std::to_string(s.shift->first) + ", " + std::to_string(s.shift->second) + "]\n";
  if (s.weight) out += "weight = " + std::to_string(*s.weight) + "\n";
  if (s.italic) out += std::string("italic = ") + (*s.italic ? "true" : "false") + "\n";
  if (s.mono) out += std::string("mono = ") + (*s.mono ? "true" : "false") + "\n";
  if (s.gamma) out += "gamma = " + FormatDouble(*s.gamma) + "\n";
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
  StyleSettings settings;
  TableReader reader(error);
  for (const auto& [key, node] : root) {
    const std::string_view name = key.str();
    bool ok = true;
    if (name == "face") {
      const auto* face = node.as_string();
      if (!face || face->get().empty()) {
        ok = reader.Fail(node, "'face' must be a face name");
      } else {
        settings.face = face->get();
      }
    } else if (name == "fallback") {
      ok = reader.Strings(node, name, settings.fallback);
    } else if (name == "font-file") {
      ok = reader.Strings(node, name, settings.fontFile);
    } else if (name == "fit") {
      ok = reader.Boolean(node, name, settings.fit);
    } else if (name == "align") {
      const auto* align = node.as_string();
      if (align && align->get() == "design") {
        settings.align = GlyphAlign::kDesign;
      } else if (align && align->get() == "center") {
        settings.align = GlyphAlign::kCenter;
      } else {
        ok = reader.Fail(node, "'align' must be \"design\" or \"center\"");
      }
    } else if (name == "size") {
      const auto* sizes = node.as_table();
      if (!sizes) {
        ok = reader.Fail(node, "'size' must hold tables [size.20], [size.24], [size.64]");
      } else {
        for (const auto& [sizeKey, sizeNode] : *sizes) {
          int cellSize = 0;
          const std::string_view digits = sizeKey.str();
          const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), cellSize);
          const auto index = parsed.ec == std::errc() && parsed.ptr == digits.data() + digits.size()
                                 ? SizeIndexOf(cellSize)
                                 : std::nullopt;
          if (!index) {
            ok = reader.Fail(sizeNode, "[size." + std::string(digits) + "]: the cell sizes are 20, 24 and 64");
            break;
          }
          const auto* table = sizeNode.as_table();
          if (!table) {
            ok = reader.Fail(sizeNode, "'size." + std::string(digits) + "' must be a table");
            break;
          }
          for (const auto& [valueKey, valueNode] : *table) {
            if (!reader.Size(valueNode, valueKey.str(), settings.sizes[*index], cellSize)) {
              ok = false;
              break;
            }
          }
          if (!ok) break;
        }
      }
    } else {
      ok = reader.Size(node, name, settings.all, 0);
    }
    if (!ok) return std::nullopt;
  }
  return settings;
}

std::string FormatStyleText(const StyleSettings& settings) {
  std::string out = "# qzffont glyph style\n";
  if (settings.face) {
    out += "face = ";
    AppendString(out, *settings.face);
    out += "\n";
  }
  if (settings.fallback) {
    out += "fallback = ";
    AppendStrings(out, *settings.fallback);
    out += "\n";
  }
  if (settings.fontFile) {
    out += "font-file = ";
    AppendStrings(out, *settings.fontFile);
    out += "\n";
  }
  if (settings.align)
    out += std::string("align = ") + (*settings.align == GlyphAlign::kCenter ? "\"center\"" : "\"design\"") + "\n";
  if (settings.fit) out += std::string("fit = ") + (*settings.fit ? "true" : "false") + "\n";
  AppendSize(out, settings.all);
  for (std::size_t i = 0; i < settings.sizes.size(); ++i) {
    if (settings.sizes[i] == SizeStyleSettings{}) continue;
    out += "\n[size." + std::to_string(SizeModeTable[i].cellSize) + "]\n";
    AppendSize(out, settings.sizes[i]);
  }
  return out;
}

}  // namespace qzf
