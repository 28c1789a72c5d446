// The glyph rewrite pass: renders, in the chosen font, the Chinese character
// the dictionary gives each game code, into the cells of one glyph size of a
// font file, and writes the file back whole.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "fontpatch/font_format.h"
#include "fontpatch/glyph_renderer.h"
#include "fontpatch/glyph_style.h"
#include "fontpatch/pass_reporter.h"
#include "fontpatch/rendered_cells.h"
#include "platform/portable/glyph_render_ops.h"

namespace qzf {

enum class PatchPassStatus {
  kOk,
  kInvalidMode,
  kPathTooLong,
  kInvalidFontFile,  // missing, unreadable, miscounted or too short
  kOutOfMemory,
  kDictionaryNotLoaded,
  kFontCreationFailed,
  kMemoryDcFailed,
  kWriteFailed,
};

// One character a pass met: where, which game code, which GBK character.
struct GlyphFinding {
  std::uint32_t position = 0;   // in the code table
  std::uint16_t code = 0;       // the game code
  std::uint16_t character = 0;  // the GBK character, lead byte high
  std::uint32_t pixels = 0;     // for cut ink: the ink pixels dropped
};

struct PatchPassResult {
  PatchPassStatus status = PatchPassStatus::kOk;
  std::uint32_t cellsRewritten = 0;   // one per "." printed
  std::uint32_t cellsKept = 0;        // codes without an entry, or marked to keep
  std::uint32_t glyphErrors = 0;      // glyph queries that failed; their cells kept
  std::uint32_t missingGlyphs = 0;    // rendered characters the font has no glyph for
  bool exactFace = false;             // the font found is the face asked for
  std::vector<GlyphFinding> missing;  // the characters of missingGlyphs
  std::vector<GlyphFinding> cutInk;   // glyphs whose ink the cell edges cut off
  // Cells drawn by each face: [0] the face, [i] fallback face i - 1.
  std::vector<std::uint32_t> drawnByFace;
  // The glyphs each fallback face drew: [i] fallback face i.
  std::vector<std::vector<GlyphFinding>> fallbackGlyphs;
  // The cells each of the options' overrides went into: [i] overrides[i].
  std::vector<std::vector<GlyphFinding>> overridden;
};

// One character's or one code's own cell, put in place of the one drawn in
// the font's style (see GlyphOverride).
struct CellOverride {
  std::optional<std::uint16_t> character;  // every cell drawn from this GBK character; or
  std::optional<std::uint16_t> code;       // the cell of this game code, even one kept
  std::vector<unsigned char> bytes;        // the cell as packed (bytesPerCell); empty: its glyph failed
  DrawnCell drawing;                       // what drawing it found; a picture's: drawn by the face
};

struct PatchPassOptions {
  const GlyphRenderOps* ops = nullptr;  // null: the platform's font calls
  PassReporter* reporter = nullptr;     // null: standard output
  // Memory for the file's bytes that the caller keeps from one pass to the
  // next; null: the pass allocates its own. It carries nothing between
  // passes: each pass reads the whole file into it.
  FontImage* image = nullptr;
  // How the glyphs are drawn and placed; null: the default style.
  const GlyphStyle* style = nullptr;
  // The character set the face is asked for under (see RenderFace).
  int faceCharSet = GB2312_CHARSET;
  // Faces that draw, in order, the characters the face has no glyph for.
  std::vector<RenderFace> fallbackFaces;
  // The dictionary, loaded by the caller once for every pass; null: the
  // pass loads it from the path. One that holds no entry fails the pass as a
  // dictionary that does not load.
  const QorvStringDict* dictionary = nullptr;
  // This size's cells, drawn ahead (see CellDrawing) in the face, fallback
  // faces and style above, for every character the dictionary gives; asked
  // for once the file is read and the dictionary found, so that the read
  // goes on while they are drawn. Empty: the pass draws its own, on
  // `threads` workers (see GlyphWorkerCount).
  std::function<const RenderedCells&()> cells;
  unsigned threads = 0;
  // This size's own cells of single characters and codes; a code's wins
  // over its character's. Null: none.
  const std::vector<CellOverride>* overrides = nullptr;
};

// One pass over `fontFilePath` for one glyph size. The file changes only in
// the final whole-file write, and only when everything before it succeeded.
PatchPassResult RunPatchPass(GlyphSizeMode mode, std::int32_t fontHeight, const char* faceName,
                             const char* fontFilePath, const char* dictionaryPath,
                             const PatchPassOptions& options = {});

}  // namespace qzf
