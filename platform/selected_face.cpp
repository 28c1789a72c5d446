#include "platform/selected_face.h"

#include <cstring>
#include <string>

namespace qzf {

bool SelectedFaceMatches(HDC dc, const char* requestedFace) {
  if (!requestedFace) return false;
  char face[LF_FACESIZE] = {};
  if (GetTextFaceA(dc, LF_FACESIZE, face) <= 0) return false;
  const std::string requested(requestedFace, strnlen(requestedFace, LF_FACESIZE - 1));
  return lstrcmpiA(face, requested.c_str()) == 0;
}

}  // namespace qzf
