#include "fontbuild/face_coverage.h"

#include <algorithm>

#include "fontbuild/font_build.h"
#include "fontpatch/pass_messages.h"
#include "platform/base/codepage.h"
#include "platform/portable/selected_font.h"
#include "platform/win32.h"

namespace qzf {
namespace {

// Counted in the face itself: a name GDI can only give a substitute for
// draws nothing. A face that does not serve GB2312 is asked under the set it
// serves and its glyphs are found by Unicode, as a build draws them.
std::uint32_t DrawableCount(const std::string& face, const std::string& characters) {
  const FaceCheck check = CheckFace(face.c_str());
  if (!check.exact || characters.empty()) return 0;
  FontRequest request;
  request.height = 20;
  request.charSet = check.charSet;
  const SelectedFont font(face.c_str(), request);
  if (!font.dc()) return 0;
  std::vector<WORD> indices(characters.size());
  DWORD n = 0;
  if (check.charSet == GB2312_CHARSET) {
    n = GetGlyphIndicesA(font.dc(), characters.c_str(), static_cast<int>(characters.size()), indices.data(),
                         GGI_MARK_NONEXISTING_GLYPHS);
  } else {
    std::vector<WCHAR> units;
    for (std::size_t i = 0; i + 1 < characters.size(); i += 2) {
      const auto code = GbkCodeToUnicode(static_cast<unsigned char>(characters[i]) << 8 |
                                         static_cast<unsigned char>(characters[i + 1]));
      units.push_back(static_cast<WCHAR>(code && *code <= 0xFFFF ? *code : 0xFFFF));
    }
    n = GetGlyphIndicesW(font.dc(), units.data(), static_cast<int>(units.size()), indices.data(),
                         GGI_MARK_NONEXISTING_GLYPHS);
  }
  if (n == GDI_ERROR) return 0;
  std::uint32_t drawable = 0;
  for (DWORD i = 0; i < n; ++i) drawable += indices[i] != 0xFFFF ? 1 : 0;
  return drawable;
}

}  // namespace

std::string DictionaryCharacters(const QorvStringDict& dictionary) {
  std::string characters;
  for (std::uint32_t i = 0; i < dictionary.count(); ++i) {
    const DictRecord& entry = dictionary.records()[i];
    if (entry.CHILength < 2 || lstrcmpiA(entry.CHI, pass_text::kNoChange) == 0) continue;
    characters.append(entry.CHI, 2);
  }
  return characters;
}

std::vector<FaceCoverage> ListFaceCoverage(const std::string& characters) {
  std::vector<FaceCoverage> faces;
  for (InstalledFace& face : ListInstalledFacesOnce()) {
    const std::uint32_t drawable = DrawableCount(face.name, characters);
    faces.push_back({std::move(face), drawable});
  }
  std::stable_sort(faces.begin(), faces.end(),
                   [](const FaceCoverage& a, const FaceCoverage& b) { return a.drawable > b.drawable; });
  return faces;
}

}  // namespace qzf
