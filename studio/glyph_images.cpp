#include "studio/glyph_images.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

#include "fileutil/atomic_file_write.h"
#include "fontbuild/style_tree.h"
#include "fontpatch/cell_image.h"
#include "fontpatch/font_file_report.h"
#include "platform/base/codepage.h"
#include "platform/portable/system_path.h"
#include "platform/win32.h"
#include "preview/png_encoder.h"
#include "preview/utf8_text.h"
#include "studio/output_name.h"
#include "studio/studio_language.h"

namespace qzf::studio {
namespace {

constexpr std::string_view kFolder = "glyphs/";

// A character's own setting refused: {0} the character or code.
template <typename... Values>
std::string GlyphRefusal(MessageId id, std::string_view key, const Values&... values) {
  return Text(id, Text(MessageId::kGlyphKeyText, key), values...);
}

}  // namespace

std::string GlyphImageName(std::string_view key, int cellSize) {
  if (!IsGlyphKey(key)) return "";
  char stem[16];
  if (key.starts_with("0x")) {
    unsigned code = 0;
    std::sscanf(std::string(key.substr(2)).c_str(), "%x", &code);
    std::snprintf(stem, sizeof(stem), "0x%04x", code);
  } else {
    const auto decoded = DecodeUtf8(key);
    if (!decoded || decoded->size() != 1) return "";
    std::snprintf(stem, sizeof(stem), "u%04x", static_cast<unsigned>((*decoded)[0]));
  }
  return std::string(kFolder) + stem + "-" + std::to_string(cellSize) + ".png";
}

std::string CheckImagePath(const std::string& path) {
  auto refused = [&](MessageId why) { return Text(MessageId::kImagePathUnusable, path, Text(why)); };
  if (path.empty() || path.size() > 200) return refused(MessageId::kImagePathLength);
  if (path.find('\\') != std::string::npos) return refused(MessageId::kImagePathSeparator);
  if (path.front() == '/') return refused(MessageId::kImagePathRelative);
  if (!HasExtension(path, ".png")) return refused(MessageId::kImagePathPng);
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find('/', start);
    std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // {size} stands for a cell size: checked as the name it becomes.
    for (std::size_t at; (at = part.find("{size}")) != std::string::npos;) part.replace(at, 6, "20");
    if (const std::string problem = CheckOutputName(part); !problem.empty())
      return Text(MessageId::kImagePathUnusable, path, problem);
    if (end == std::string::npos) return "";
    start = end + 1;
  }
}

std::vector<bool> ReachedCharacters(const StudioData& data) {
  std::vector<bool> reached(0x10000, false);
  for (std::uint32_t p = 0; p < kIndexedGlyphCount; ++p) {
    if (const auto character = data.CharacterOfCode(data.CodeAt(p))) reached[*character] = true;
  }
  return reached;
}

std::string CheckGlyphReached(const StudioData& data, const std::vector<bool>& reached, const std::string& key) {
  if (!IsGlyphKey(key)) return GlyphRefusal(MessageId::kGlyphKeyForm, key);
  if (key.starts_with("0x")) {
    unsigned code = 0;
    std::sscanf(key.c_str() + 2, "%x", &code);
    if (!data.stockCells().PositionOf(static_cast<std::uint16_t>(code)))
      return GlyphRefusal(MessageId::kGlyphNoSuchCode, key);
    return "";
  }
  const auto gbk = Utf8ToGbk(key);
  if (!gbk || gbk->size() != 2 || static_cast<unsigned char>((*gbk)[0]) < 0x81)
    return GlyphRefusal(MessageId::kGlyphNotGbk, key);
  const auto character =
      static_cast<std::uint16_t>(static_cast<unsigned char>((*gbk)[0]) << 8 | static_cast<unsigned char>((*gbk)[1]));
  return reached[character] ? "" : GlyphRefusal(MessageId::kGlyphNotReached, key);
}

std::string PrepareGlyphImages(StyleSettings& settings, const std::string& folder) {
  settings.imageFolder = folder;
  for (const auto& [key, glyph] : settings.glyphs) {
    auto imageOf = [](const SettingValues& values) -> const std::string* {
      const auto image = values.find("image");
      return image == values.end() ? nullptr : &std::get<std::string>(image->second);
    };
    for (std::size_t i = 0; i < SizeModeTable.size(); ++i) {
      const std::string* given = imageOf(glyph.sizes[i]);
      if (!given) given = imageOf(glyph.all);
      if (!given) continue;
      if (std::string problem = CheckImagePath(*given); !problem.empty())
        return GlyphRefusal(MessageId::kGlyphSettingRefused, key, problem);
      // Read here too, so that what is wrong with it is told in Chinese.
      const GlyphSizeInfo& size = SizeModeTable[i];
      std::string file = *given;
      for (std::size_t at; (at = file.find("{size}")) != std::string::npos;)
        file.replace(at, 6, std::to_string(size.cellSize));
      const auto path = Utf8ToSystemPath(folder + "/" + file);
      const auto bytes = path ? ReadWholeFile(path->c_str()) : std::nullopt;
      if (!bytes) return GlyphRefusal(MessageId::kGlyphImageMissing, key, file);
      if (const CellImageResult image = CellImageLevels(*bytes, size); !image)
        return GlyphRefusal(MessageId::kGlyphImageUnusable, key, file, std::to_string(size.cellSize), image.error);
    }
  }
  return "";
}

std::optional<std::vector<std::uint8_t>> LevelsFromHex(std::string_view hex, const GlyphSizeInfo& size,
                                                       std::string& error) {
  const std::size_t pixels = std::size_t{size.cellSize} * size.cellSize;
  if (hex.size() != pixels) {
    error = Text(MessageId::kLevelsCount, std::to_string(size.cellSize), std::to_string(pixels));
    return std::nullopt;
  }
  std::vector<std::uint8_t> levels(pixels);
  for (std::size_t i = 0; i < pixels; ++i) {
    const char c = hex[i];
    if (c >= '0' && c <= '9') {
      levels[i] = static_cast<std::uint8_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      levels[i] = static_cast<std::uint8_t>(c - 'a' + 10);
    } else {
      error = Text(MessageId::kLevelsDigits);
      return std::nullopt;
    }
  }
  return levels;
}

std::vector<unsigned char> LevelsPng(const std::vector<std::uint8_t>& levels, const GlyphSizeInfo& size) {
  std::vector<std::uint8_t> grey(levels.size());
  for (std::size_t i = 0; i < levels.size(); ++i) grey[i] = static_cast<std::uint8_t>(255 - 17 * (levels[i] & 0x0F));
  return EncodePng(grey, size.cellSize, size.cellSize, 1);
}

bool StoreGlyphImage(const std::string& path, std::span<const unsigned char> png, int patienceMs) {
  // Two strokes' answers may cross: they share the temporary file's name.
  static std::mutex writing;
  const std::lock_guard<std::mutex> lock(writing);
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(patienceMs);
  for (;;) {
    const AtomicWriteResult written = WriteBytesAtomically(path, png);
    if (written) return true;
    const bool heldOpen =
        written.status == AtomicWriteStatus::kCannotReplace &&
        (written.systemError == ERROR_SHARING_VIOLATION || written.systemError == ERROR_ACCESS_DENIED);
    if (!heldOpen || std::chrono::steady_clock::now() >= giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace qzf::studio
