// A font created through the font calls and selected into a memory device
// context of its own, both released when the holder goes. Every place that
// draws with a face goes through it.
#pragma once

#include <string>

#include "platform/portable/glyph_render_ops.h"

namespace qzf {

// What is asked of CreateFontA beyond the face name. The defaults are the
// rewrite pass's font.
struct FontRequest {
  int height = 0;  // > 0: the character cell's height; < 0: the em height
  int weight = FW_NORMAL;
  bool italic = false;
  DWORD quality = DEFAULT_QUALITY;
  // GB2312_CHARSET: character codes are GBK. A face that does not serve it
  // is asked for under a set it serves (see FaceCharSet).
  int charSet = GB2312_CHARSET;
};

class SelectedFont {
 public:
  // A font of the request's character set with character output and clipping precision,
  // then a context compatible with the screen. ops null: the platform's calls.
  SelectedFont(const char* faceName, const FontRequest& request, const GlyphRenderOps* ops = nullptr);
  // The pass's font at `height` with the given quality.
  SelectedFont(const GlyphRenderOps& ops, int height, DWORD quality, const char* faceName);
  ~SelectedFont();
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

  bool fontCreated() const { return font_ != nullptr; }
  // Null when the font or the context could not be created.
  HDC dc() const { return dc_; }
  const GlyphRenderOps& ops() const { return ops_; }

  // The face GDI selected (GBK); empty without a context.
  std::string FaceName() const;
  // Whether that face is the one asked for (see SelectedFaceMatches).
  bool FaceMatches() const;

 private:
  void Create(const FontRequest& request);

  GlyphRenderOps ops_;
  std::string requestedFace_;
  HFONT font_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace qzf
