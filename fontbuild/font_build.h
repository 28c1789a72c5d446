// The whole font build, the one routine every front end calls: a fresh copy
// of the stock font file (the embedded block, or the user's own game file,
// never modified), the code-mapping dictionary (embedded or given), and the
// three rewrite passes, one per glyph size, over that copy.
//
// The front ends differ only in the request: the command line checks face,
// base and dictionary first and builds in a temporary file it renames over
// the output; the window lays both blocks down next to the program and lets
// the passes rewrite the output in place, every pass running.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "fontbuild/style_fit.h"
#include "fontpatch/font_format.h"
#include "fontpatch/glyph_style.h"
#include "fontpatch/patch_pass.h"

namespace qzf {

// Where the passes work.
enum class FontWorkFile {
  // A hidden file beside the output (OUT.font-PID.tmp), renamed over the
  // output once every pass succeeded: a failed build leaves no trace.
  kTemporaryThenRename,
  // The output itself: the stock copy is laid down there and each pass
  // rewrites it.
  kInPlace,
};

struct FontBuildRequest {
  std::string faceName;        // GBK
  std::string outputPath;      // byte path in the system code page
  std::string basePath;        // empty: the embedded font file
  std::string dictionaryPath;  // empty: the embedded dictionary; text or binary image
  // Where the embedded dictionary is laid down and read from (hidden, and
  // removed when the build ends); empty: it is read straight from the
  // program.
  std::string dictionaryCopyPath;
  FontWorkFile workFile = FontWorkFile::kTemporaryThenRename;
  // Face, base file and dictionary are checked before the passes, and a build
  // stops at the first pass that fails. Without: the passes are the checks,
  // and each runs whatever the one before it did.
  bool checkFirst = true;
  bool allowSubstitute = false;
  // How glyphs are drawn; the default is the game file's own way. Fallback
  // faces must be installed under the names given.
  BuildStyle style;
  const GlyphRenderOps* ops = nullptr;  // null: the platform's font calls
  // Threads that draw the glyphs; 0: as GlyphWorkerCount chooses.
  // The bytes are the same for any number.
  unsigned threads = 0;
};

enum class FontBuildStatus {
  kOk,
  kUnknownFace,          // detail: the face that would be used instead
  kUnknownFallback,      // detail: the fallback face (GBK) no installed font has
  kFontFileUnusable,     // detail: the font file (system path) that gives no font
  kBaseUnreadable,       // missing, a directory, or unreadable
  kBaseRefused,          // fails the font file test; detail says why
  kDictionaryNotLoaded,  // missing, unreadable or malformed
  kOutputUnwritable,     // cannot write beside the output, or cannot replace it
  kPassFailed,           // detail: which pass
  kNoEmbeddedData,
  kGlyphRefused,  // detail: the one line that names the glyph's setting and why
};

struct FontBuildPass {
  GlyphSizeMode mode = 0;
  std::int32_t fontHeight = 0;
  PatchPassResult result;
};

struct FontBuildResult {
  FontBuildStatus status = FontBuildStatus::kOk;
  std::string detail;    // UTF-8, for the one-line error
  std::string faceUsed;  // GBK, the face the font calls selected
  bool exactFace = false;
  // The character set the face was drawn under: GB2312_CHARSET, or one the
  // face serves when it does not serve GB2312 (its glyphs then found by
  // Unicode).
  int faceCharSet = GB2312_CHARSET;
  std::uint32_t dictionaryEntries = 0;
  std::array<FontBuildPass, SizeModeTable.size()> passes{};
  // Per size: the em height used (0: the cell height) and the centring
  // offset, as the style gave them or as fitting chose them.
  std::array<SizeFit, SizeModeTable.size()> fits{};
  BuildStyle style;  // as asked for
};

// Told of each pass as it starts, then of its messages and glyphs.
class FontBuildObserver : public PassReporter {
 public:
  virtual void PassStarted(std::size_t index, const GlyphSizeInfo& size) = 0;
  // Before the passes, when the style is fitted or centred: once per size.
  virtual void MeasuringStarted(const GlyphSizeInfo&) {}
  // After a pass started, while its cells are still being drawn: how many
  // of them are, now and then.
  virtual void CellsDrawn(std::size_t /*index*/, std::uint32_t /*done*/, std::uint32_t /*total*/) {}
};

FontBuildResult BuildFont(const FontBuildRequest& request, FontBuildObserver& observer);

// Which face the font calls give for a name: exact or a substitute, and the
// character set it is asked for under.
struct FaceCheck {
  bool fontCreated = false;
  bool exact = false;
  std::string faceUsed;  // GBK
  int charSet = GB2312_CHARSET;
};
// Under GB2312_CHARSET; a face that does not serve it, under a set it serves.
FaceCheck CheckFace(const char* faceName, const GlyphRenderOps* ops = nullptr);

}  // namespace qzf
