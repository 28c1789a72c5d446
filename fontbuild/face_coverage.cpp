#include "fontbuild/face_coverage.h"

#include <algorithm>

#include "fontpatch/pass_messages.h"
#include "platform/portable/selected_font.h"
#include "platform/win32.h"

namespace qzf {
namespace {

std::uint32_t DrawableCount(const std::string& face, const std::string& characters) {
  FontRequest request;
  request.height = 20;
  const SelectedFont font(face.c_str(), request);
  if (!font.dc() || characters.empty()) return 0;
  std::vector<WORD> indices(characters.size());
  const DWORD n = GetGlyphIndicesA(font.dc(), characters.c_str(), static_cast<int>(characters.size()), indices.data(),
                                   GGI_MARK_NONEXISTING_GLYPHS);
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
