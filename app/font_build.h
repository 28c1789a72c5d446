// A whole font build for the command line: the three rewrite passes over a
// fresh copy of the stock font file (the embedded block, or the user's own
// game file, never modified) with the embedded dictionary or a given one,
// written to the output path only when everything succeeded.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "fontpatch/patch_pass.h"

namespace qzf {

struct FontBuildRequest {
  std::string faceName;        // GBK
  std::string outputPath;      // byte path in the system code page
  std::string basePath;        // empty: the embedded font file
  std::string dictionaryPath;  // empty: the embedded dictionary; text or binary image
  bool allowSubstitute = false;
  const GlyphRenderOps* ops = nullptr;  // null: the platform's font calls
};

enum class FontBuildStatus {
  kOk,
  kUnknownFace,          // detail: the face that would be used instead
  kBaseUnreadable,       // missing, a directory, or unreadable
  kBaseRefused,          // fails the font file test; detail says why
  kDictionaryNotLoaded,  // missing, unreadable or malformed
  kOutputUnwritable,     // cannot write beside the output, or cannot replace it
  kPassFailed,           // detail: which pass
  kNoEmbeddedData,
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
  std::uint32_t dictionaryEntries = 0;
  std::array<FontBuildPass, 3> passes{};
};

// Told of each pass as it starts, then of its messages and glyphs.
class FontBuildObserver : public PassReporter {
 public:
  virtual void PassStarted(std::size_t index, const GlyphSizeInfo& size) = 0;
};

FontBuildResult BuildFont(const FontBuildRequest& request, FontBuildObserver& observer);

// Which face the font calls give for a name: exact or a substitute.
struct FaceCheck {
  bool fontCreated = false;
  bool exact = false;
  std::string faceUsed;  // GBK
};
FaceCheck CheckFace(const char* faceName, const GlyphRenderOps* ops = nullptr);

}  // namespace qzf
