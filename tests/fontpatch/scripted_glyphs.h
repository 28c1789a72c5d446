// A scripted glyph source for the rewrite pass: exact metrics and bitmaps per
// character code, in place of the platform's font calls.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/portable/glyph_render_ops.h"

namespace qzf::test {

struct ScriptedGlyph {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::int32_t originX = 0;
  std::int32_t originY = 0;
  std::vector<unsigned char> bytes;   // as GGO_GRAY4_BITMAP gives them; empty = size 0
  bool error = false;                 // the query reports GDI_ERROR
  bool missing = false;               // the font has no glyph for it
  std::vector<unsigned char> bits{};  // as GGO_BITMAP gives them (rows of 32-bit words, high bit left)
};

struct GlyphScript {
  std::int32_t ascent = 17;
  bool failCreateFont = false;
  bool failCreateDc = false;
  std::string faceFound = "Scripted";
  std::map<unsigned, ScriptedGlyph> glyphs;  // by character code
  // Faces other than the first one created: their glyphs by face name. A
  // face not listed here draws from `glyphs`.
  std::map<std::string, std::map<unsigned, ScriptedGlyph>> otherFaces;
  // Glyphs by index, for GGO_GLYPH_INDEX; GetGlyphIndicesW gives a
  // character's Unicode value as its index when this holds it.
  std::map<unsigned, ScriptedGlyph> glyphsByIndex;
  // Glyphs that change with the size asked for: by character code and the
  // font height of the font drawing it (negative: an em height). Asked for a
  // character `glyphs` does not hold; absent: such a character is missing.
  std::function<ScriptedGlyph(unsigned character, int fontHeight)> sizedGlyph;
  // Observed calls.
  int fontHeightAsked = 0;
  int weightAsked = 0;
  bool italicAsked = false;
  int charSetAsked = 0;
  std::vector<unsigned> formatsAsked;  // one per glyph asked for
  std::string faceAsked;
  std::vector<unsigned> charactersAsked;  // one per glyph asked for
  int fontsCreated = 0;
  int fontsDeleted = 0;
  int contextsCreated = 0;
  int contextsDeleted = 0;
};

// The script the ops below read; reset it per test.
GlyphScript& Script();
const GlyphRenderOps& ScriptedOps();

}  // namespace qzf::test
