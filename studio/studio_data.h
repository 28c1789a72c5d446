// What the studio works from, loaded once at start: the stock font file (the
// embedded one, or the player's own game file) and the code-mapping
// dictionary, with the lookups the previews need.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "i18n/message_catalog.h"
#include "preview/character_codes.h"
#include "preview/font_file_cells.h"

namespace qzf::studio {

class StudioData {
 public:
  // basePath, dictionaryPath: system byte paths; empty: the embedded data.
  // Nullopt, with `error` (UTF-8, in `language`) saying why, when either
  // does not load.
  static std::optional<StudioData> Load(const std::string& basePath, const std::string& dictionaryPath,
                                        std::string& error, MessageLanguage language = MessageLanguage::kEnglish);

  std::span<const unsigned char> stockImage() const { return stock_; }
  const QorvStringDict& dictionary() const { return *dictionary_; }
  // Where the build takes them from (empty: embedded), as given.
  const std::string& basePath() const { return basePath_; }
  const std::string& dictionaryPath() const { return dictionaryPath_; }

  // The characters the passes draw (GBK, lead byte high), one per entry
  // that names one, in entry order.
  const std::vector<std::uint16_t>& drawnCharacters() const { return drawn_; }

  // The stock file's cells, and which cell shows each character of a text
  // (the way the game finds it).
  const FontFileCells& stockCells() const { return *stockCells_; }
  const CharacterCodes& codes() const { return *codes_; }
  // The game code at a position.
  std::uint16_t CodeAt(std::uint32_t position) const;
  // The GBK character a pass draws into the cells of `code`; nullopt when it
  // keeps the stock cell (no entry, or one marked to keep the game's glyph).
  std::optional<std::uint16_t> CharacterOfCode(std::uint16_t code) const;

 private:
  StudioData() = default;

  std::vector<unsigned char> ownStock_;  // a base file read from disk
  std::span<const unsigned char> stock_;
  std::unique_ptr<QorvStringDict> dictionary_;
  std::string basePath_, dictionaryPath_;
  std::vector<std::uint16_t> drawn_;
  std::unordered_map<std::uint16_t, std::uint16_t> characterOfCode_;
  std::unique_ptr<FontFileCells> stockCells_;
  std::unique_ptr<CharacterCodes> codes_;
};

}  // namespace qzf::studio
