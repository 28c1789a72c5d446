#include "platform/portable/selected_face.h"

#include <cstring>

namespace qzf {

std::string SelectedFaceName(const GlyphRenderOps& ops, HDC dc) {
  char face[LF_FACESIZE] = {};
  if (ops.getTextFaceFn(dc, LF_FACESIZE, face) <= 0) return {};
  return face;
}

bool SelectedFaceMatches(const GlyphRenderOps& ops, HDC dc, const char* requestedFace) {
  if (!requestedFace) return false;
  const std::string face = SelectedFaceName(ops, dc);
  if (face.empty()) return false;
  const std::string requested(requestedFace, strnlen(requestedFace, LF_FACESIZE - 1));
  return lstrcmpiA(face.c_str(), requested.c_str()) == 0;
}

bool SelectedFaceMatches(HDC dc, const char* requestedFace) {
  return SelectedFaceMatches(ResolveGlyphRenderOps(nullptr), dc, requestedFace);
}

}  // namespace qzf
