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
#include <optional>
#include <string>

#include "fileutil/temporary_file.h"
#include "fontbuild/build_policy.h"
#include "fontbuild/style_fit.h"
#include "fontpatch/font_format.h"
#include "fontpatch/glyph_style.h"
#include "fontpatch/patch_pass.h"
#include "i18n/message_catalog.h"

namespace qzf {

struct FontBuildRequest {
  std::string faceName;        // GBK
  std::string outputPath;      // byte path in the system code page
  std::string basePath;        // empty: the embedded font file
  std::string dictionaryPath;  // empty: the embedded dictionary; text or binary image
  BuildPolicy policy;
  bool allowSubstitute = false;
  // How glyphs are drawn; the default is the game file's own way. Fallback
  // faces must be installed under the names given.
  BuildStyle style;
  const GlyphRenderOps* ops = nullptr;  // null: the platform's font calls
  // Threads that draw the glyphs; 0: as GlyphWorkerCount chooses.
  // The bytes are the same for any number.
  unsigned threads = 0;
  // The language of the refusals the result's detail carries.
  MessageLanguage language = MessageLanguage::kEnglish;
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

// A built font not yet in its place: the finished work file, hidden beside
// the output. Dropped, it goes and the output is as it was; Commit puts it
// in the output's place in one rename. A build in place has nothing to put.
class UncommittedFont {
 public:
  // False, with GetLastError saying why, leaves the output as it was.
  bool Commit();

 private:
  friend FontBuildResult BuildFontUncommitted(const FontBuildRequest&, FontBuildObserver&, UncommittedFont&);
  std::optional<TemporaryFile> work_;
  std::string output_;
};

// Every stage but the last: on success `font` holds the finished file, for
// the caller to commit together with its other outputs.
FontBuildResult BuildFontUncommitted(const FontBuildRequest& request, FontBuildObserver& observer,
                                     UncommittedFont& font);

// The whole build, the font committed at the end.
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
