#include "cli/style_options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <functional>

#include "cli/terminal.h"
#include "fontbuild/style_file.h"
#include "fontpatch/font_file_report.h"

namespace qzf::cli {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

std::optional<int> ParseInt(const std::string& text) {
  int value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<double> ParseDouble(const std::string& text) {
  // from_chars for doubles is not in every standard library the builds use.
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size()) return std::nullopt;
  return value;
}

// A per-size list ("20=18,24=22" or "18"): each value is read by `read` into
// the settings of its size (or of every size); an error names the option.
using ValueReader = std::function<std::string(const std::string& value, int cellSize, SizeStyleSettings& into)>;

bool ReadSizeList(const std::string& option, const std::string& text, StyleSettings& settings, const ValueReader& read,
                  std::string& error) {
  if (text.empty()) return true;  // not given
  if (text.find('=') == std::string::npos) {
    const std::string problem = read(text, 0, settings.all);
    if (!problem.empty()) error = option + " " + text + ": " + problem;
    return problem.empty();
  }
  for (const std::string& item : Split(text, ',')) {
    const std::size_t equals = item.find('=');
    const auto cellSize = equals == std::string::npos ? std::nullopt : ParseInt(item.substr(0, equals));
    const auto index = cellSize ? SizeIndexOf(*cellSize) : std::nullopt;
    if (!index) {
      error = option + " " + item + ": give SIZE=VALUE with SIZE 20, 24 or 64 (or one value for every size)";
      return false;
    }
    const std::string problem = read(item.substr(equals + 1), *cellSize, settings.sizes[*index]);
    if (!problem.empty()) {
      error = option + " " + item + ": " + problem;
      return false;
    }
  }
  return true;
}

std::string ReadInt(const std::string& value, std::optional<int>& into, const std::function<std::string(int)>& check) {
  const auto number = ParseInt(value);
  if (!number) return "not an integer";
  const std::string problem = check(*number);
  if (!problem.empty()) return problem;
  into = number;
  return "";
}

}  // namespace

void AddStyleOptions(CLI::App& command, StyleArguments& a) {
  command.add_option("--glyph-size", a.glyphSize,
                     "Em height in pixels per size, e.g. 20=18,24=22,64=58, or one value for all sizes");
  command.add_flag("--fit", a.fit,
                   "Per size, the largest em height at which at most 0.5% of the characters lose ink at the cell "
                   "edges (implies --align center unless placement is given)");
  command.add_option("--baseline", a.baseline, "Cell row of the baseline per size, e.g. 20=17,24=20,64=54");
  command.add_option("--shift", a.shift, "Pixels right:down per size, e.g. 20=1:-1,64=2:0, or one for all sizes");
  command.add_option("--align", a.align, "design (where the font puts each glyph) or center (centre the ideographs)");
  command.add_option("--weight", a.weight, "Font weight 100..900 (700 is bold; synthesised where the face has none)");
  command.add_flag("--italic", a.italic, "Italic (slanted where the face has no italic)");
  command.add_flag("--mono", a.mono, "Two-level glyphs: ink 15 or nothing, no grey edges");
  command.add_option("--gamma", a.gamma, "A curve on the 16 grey levels; 1 keeps them, above 1 darkens the edges");
  command.add_option("--fallback", a.fallback, "A face that draws what the face cannot (repeat for more, in order)");
  command.add_option("--font-file", a.fontFile, "A font file to use for this run without installing it (repeatable)");
  command.add_option("--style", a.styleFile, "Read the style from this TOML file; options given here win");
  command.add_option("--save-style", a.saveStyleFile, "Write the style this build used (with what --fit chose)");
}

std::optional<StyleSettings> StyleFromArguments(const StyleArguments& a, std::string& error) {
  StyleSettings fromFile;
  if (!a.styleFile.empty()) {
    const auto path = ToSystemPath(a.styleFile);
    const auto bytes = path ? ReadWholeFile(path->c_str()) : std::nullopt;
    if (!bytes) {
      error = "cannot read the style file " + a.styleFile;
      return std::nullopt;
    }
    StyleFileError problem;
    const auto parsed =
        ParseStyleText(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), problem);
    if (!parsed) {
      error = a.styleFile + ":" + (problem.line > 0 ? std::to_string(problem.line) + ": " : " ") + problem.message;
      return std::nullopt;
    }
    fromFile = *parsed;
  }

  StyleSettings given;
  const bool ok =
      ReadSizeList(
          "--glyph-size", a.glyphSize, given,
          [](const std::string& v, int, SizeStyleSettings& s) { return ReadInt(v, s.glyphSize, CheckGlyphSize); },
          error) &&
      ReadSizeList(
          "--baseline", a.baseline, given,
          [](const std::string& v, int size, SizeStyleSettings& s) {
            return ReadInt(v, s.baseline, [size](int b) { return CheckBaseline(b, size); });
          },
          error) &&
      ReadSizeList(
          "--shift", a.shift, given,
          [](const std::string& v, int size, SizeStyleSettings& s) -> std::string {
            const std::size_t colon = v.find(':');
            const auto x = colon == std::string::npos ? std::nullopt : ParseInt(v.substr(0, colon));
            const auto y = colon == std::string::npos ? std::nullopt : ParseInt(v.substr(colon + 1));
            if (!x || !y) return "give RIGHT:DOWN in pixels, e.g. 1:-1";
            for (const int p : {*x, *y}) {
              const std::string problem = CheckShift(p, size);
              if (!problem.empty()) return problem;
            }
            s.shift = std::make_pair(*x, *y);
            return "";
          },
          error) &&
      ReadSizeList(
          "--weight", a.weight, given,
          [](const std::string& v, int, SizeStyleSettings& s) { return ReadInt(v, s.weight, CheckWeight); }, error) &&
      ReadSizeList(
          "--gamma", a.gamma, given,
          [](const std::string& v, int, SizeStyleSettings& s) -> std::string {
            const auto gamma = ParseDouble(v);
            if (!gamma) return "not a number";
            const std::string problem = CheckGamma(*gamma);
            if (problem.empty()) s.gamma = gamma;
            return problem;
          },
          error);
  if (!ok) return std::nullopt;
  if (a.italic) given.all.italic = true;
  if (a.mono) given.all.mono = true;
  if (a.fit) given.fit = true;
  if (!a.align.empty()) {
    if (a.align == "design") {
      given.align = GlyphAlign::kDesign;
    } else if (a.align == "center") {
      given.align = GlyphAlign::kCenter;
    } else {
      error = "--align " + a.align + ": give design or center";
      return std::nullopt;
    }
  }
  if (!a.fallback.empty()) given.fallback = a.fallback;
  if (!a.fontFile.empty()) given.fontFile = a.fontFile;
  return OverrideStyle(fromFile, given);
}

}  // namespace qzf::cli
