// The cells drawn by hand in the studio: pictures a character's own table
// ([glyph."X"]) refers to by its `image` path. The studio stores them in its
// folder under glyphs/, under names it makes itself, and resolves every
// `image` path of a request inside that folder, so that the style file it
// saves there builds the same bytes from the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fontbuild/style_settings.h"
#include "fontpatch/font_format.h"
#include "studio/studio_data.h"

namespace qzf::studio {

// The name a drawn cell of a glyph key is stored under, relative to the
// studio's folder: "glyphs/u6c38-20.png" for "永" at 20 px,
// "glyphs/0x8142-64.png" for a code. ASCII only, so every system can write
// it. Empty for a key that is not a glyph key.
std::string GlyphImageName(std::string_view key, int cellSize);

// Empty when a style's `image` path may be read in the studio: relative,
// inside the studio's folder (each part a plain file name, no "..", no
// drive, no backslash), ending in .png; else why not (Simplified Chinese).
std::string CheckImagePath(const std::string& path);

// Per GBK character (lead byte high): whether the dictionary draws it into a
// cell of the stock file's code table. Made once: a style may name
// thousands of characters.
std::vector<bool> ReachedCharacters(const StudioData& data);

// Empty when the glyph key reaches a cell of the stock file (a code in its
// table, or a character `reached` marks); else why not.
std::string CheckGlyphReached(const StudioData& data, const std::vector<bool>& reached, const std::string& key);

// Every glyph table's `image` paths checked, and resolved in `folder`
// (UTF-8); the first problem named with its key (Simplified Chinese).
std::string PrepareGlyphImages(StyleSettings& settings, const std::string& folder);

// A cell's levels from their hex digits (one per pixel, rows top first);
// nullopt with `error` when the text is not S x S digits.
std::optional<std::vector<std::uint8_t>> LevelsFromHex(std::string_view hex, const GlyphSizeInfo& size,
                                                       std::string& error);

// The PNG a cell's levels are stored as: grey 255 - 17 L, which reads back
// as exactly the same levels.
std::vector<unsigned char> LevelsPng(const std::vector<std::uint8_t>& levels, const GlyphSizeInfo& size);

// Stores a drawn cell's picture at `path` (system code page), whole or not at
// all. One picture is written at a time, and a picture another request is
// reading at that moment (Windows keeps an open file from being replaced) is
// tried again for up to `patienceMs`.
bool StoreGlyphImage(const std::string& path, std::span<const unsigned char> png, int patienceMs = 2000);

}  // namespace qzf::studio
