#include "cli/style_options.h"

#include <filesystem>

#include "cli/cli_language.h"
#include "cli/terminal.h"
#include "fontbuild/style_file.h"
#include "fontbuild/style_messages.h"
#include "fontbuild/style_table.h"
#include "fontbuild/style_tree.h"
#include "fontpatch/font_file_report.h"

namespace qzf::cli {
namespace {

namespace fs = std::filesystem;

fs::path Utf8Path(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string Utf8Of(const fs::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

// A path from `from` (a folder, "" the working one) as a path from `to`.
std::string Rebased(const std::string& path, const std::string& from, const std::string& to) {
  const fs::path given = Utf8Path(path);
  if (given.is_absolute() || path.starts_with("/") || path.starts_with("\\")) return path;
  std::error_code error;
  const fs::path target = fs::absolute(Utf8Path(from.empty() ? "." : from) / given, error).lexically_normal();
  const fs::path folder = fs::absolute(Utf8Path(to.empty() ? "." : to), error).lexically_normal();
  if (error) return path;
  const fs::path relative = target.lexically_relative(folder);
  return Utf8Of(relative.empty() ? target : relative);
}

}  // namespace

StyleSettings WithImagesFrom(StyleSettings settings, const std::string& file) {
  const std::size_t slash = file.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? std::string() : file.substr(0, slash);
  for (auto& [key, glyph] : settings.glyphs) {
    auto rebase = [&](SettingValues& values) {
      if (const auto image = values.find("image"); image != values.end())
        image->second = Rebased(std::get<std::string>(image->second), settings.imageFolder, folder);
    };
    rebase(glyph.all);
    for (SettingValues& size : glyph.sizes) rebase(size);
  }
  settings.imageFolder = folder;
  return settings;
}

std::vector<OptionDescription> StyleOptions(StyleArguments& a) {
  std::vector<OptionDescription> options;
  for (const StyleSetting& setting : StyleTable()) {
    if (setting.glyphOnly) continue;
    const std::string name(setting.name);
    OptionDescription option{"--" + name, std::string(setting.help)};
    if (setting.kind == SettingKind::kFlag) {
      option.target = &a.flags[name];
    } else if (setting.kind == SettingKind::kTextList) {
      option.target = &a.lists[name];
    } else {
      option.target = &a.texts[name];
    }
    options.push_back(std::move(option));
  }
  options.push_back({"--style", "Read the style from this TOML file; options given here win", &a.styleFile});
  options.push_back({"--save-style", "Write the style this build used (with what --fit chose)", &a.saveStyleFile});
  return options;
}

std::optional<StyleSettings> StyleFromArguments(const StyleArguments& a, std::string& error) {
  StyleSettings fromFile;
  if (!a.styleFile.empty()) {
    const auto path = ToSystemPath(a.styleFile);
    const auto bytes = path ? ReadWholeFile(path->c_str()) : std::nullopt;
    if (!bytes) {
      error = Text(MessageId::kCannotReadStyleFile, a.styleFile);
      return std::nullopt;
    }
    StyleFileError problem;
    const auto parsed =
        ParseStyleText(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), problem);
    if (!parsed) {
      const std::string message = problem.value ? ValueErrorText(*problem.value, Language()) : problem.message;
      error = a.styleFile + ":" + (problem.line > 0 ? std::to_string(problem.line) + ": " : " ") + message;
      return std::nullopt;
    }
    fromFile = *parsed;
    // Messages name the file as given; its pictures are found beside it.
    fromFile.source = a.styleFile;
    const std::size_t slash = a.styleFile.find_last_of("/\\");
    fromFile.imageFolder = slash == std::string::npos ? std::string() : a.styleFile.substr(0, slash);
  }

  StyleSettings given;
  ValueError problem;
  for (const StyleSetting& setting : StyleTable()) {
    const std::string name(setting.name);
    bool ok = true;
    if (const auto text = a.texts.find(name); text != a.texts.end() && text->second) {
      ok = ReadSettingText(setting, *text->second, given, problem);
    } else if (const auto flag = a.flags.find(name); flag != a.flags.end() && flag->second) {
      given.all[name] = true;
    } else if (const auto list = a.lists.find(name); list != a.lists.end() && !list->second.empty()) {
      RawValue raw{std::vector<RawValue>{}};
      for (const std::string& item : list->second)
        std::get<std::vector<RawValue>>(raw.value).push_back({RawValue::Text{item}});
      const auto value = ReadStyleValue(setting, raw, 0, problem);
      if (value) given.all[name] = *value;
      ok = value.has_value();
    }
    if (!ok) {
      error = ValueErrorText(problem, Language());
      return std::nullopt;
    }
  }
  return OverrideStyle(fromFile, given);
}

}  // namespace qzf::cli
