#include "platform/portable/installed_faces.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/fontengine/fontconfig_handles.h"
#include "platform/native/native_gdi.h"
#include "platform/portable/codepage.h"
#endif

namespace qzf {
namespace {

std::string FoldCase(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

void SortUnique(std::vector<std::string>& names) {
  std::erase_if(names, [](const std::string& n) { return n.empty() || n.front() == '@'; });
  std::stable_sort(names.begin(), names.end(),
                   [](const std::string& a, const std::string& b) { return FoldCase(a) < FoldCase(b); });
  names.erase(std::unique(names.begin(), names.end(),
                          [](const std::string& a, const std::string& b) { return FoldCase(a) == FoldCase(b); }),
              names.end());
}

#ifdef _WIN32
int CALLBACK CollectFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM param) {
  // Raster fonts have no outlines to draw glyph bitmaps from.
  if (type & RASTER_FONTTYPE) return 1;
  auto* names = reinterpret_cast<std::vector<std::string>*>(param);
  const wchar_t* face = font->lfFaceName;
  const int wideLength = static_cast<int>(wcsnlen(face, LF_FACESIZE));
  BOOL usedDefault = FALSE;
  char bytes[LF_FACESIZE * 2] = {};
  const int length =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, face, wideLength, bytes, sizeof(bytes), nullptr, &usedDefault);
  // A name the ANSI code page cannot write, or longer than the 31 bytes GDI
  // keeps, cannot be given to CreateFontA.
  if (length > 0 && length < LF_FACESIZE && !usedDefault) names->emplace_back(bytes, static_cast<size_t>(length));
  return 1;
}
#endif

}  // namespace

std::vector<std::string> ListInstalledFaces() {
  std::vector<std::string> names;
#ifdef _WIN32
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return names;
  LOGFONTW all = {};
  all.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExW(dc, &all, CollectFace, reinterpret_cast<LPARAM>(&names), 0);
  DeleteDC(dc);
#else
  FcConfig* config = ProcessFontconfig();
  if (!config) return names;
  FcPatternPtr outlines(FcPatternBuild(nullptr, FC_OUTLINE, FcTypeBool, FcTrue, nullptr));
  FcObjectSetPtr objects(FcObjectSetBuild(FC_FAMILY, nullptr));
  if (!outlines || !objects) return names;
  FcFontSetPtr fonts(FcFontList(config, outlines.get(), objects.get()));
  if (!fonts) return names;
  for (int i = 0; i < fonts->nfont; ++i) {
    FcChar8* family = nullptr;
    for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &family) == FcResultMatch; ++n) {
      // GDI keeps 31 bytes of a face name; a longer one could not be asked for.
      auto gbk = Utf8ToGbk(reinterpret_cast<const char*>(family));
      if (gbk && gbk->size() < LF_FACESIZE) names.push_back(std::move(*gbk));
    }
  }
#endif
  SortUnique(names);
  return names;
}

}  // namespace qzf
