#include "platform/portable/installed_faces.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/base/codepage.h"
#include "platform/fontengine/font_match.h"
#include "platform/fontengine/fontconfig_handles.h"
#include "platform/native/native_gdi.h"
#endif
#include "platform/portable/selected_font.h"

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
  std::lock_guard lock(FontconfigLock());
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

namespace {

// What tells two names of one font apart from names of two fonts; empty when
// the name selects nothing.
std::string FontIdentity(const std::string& name) {
#ifdef _WIN32
  FontRequest request;
  request.height = 20;
  request.charSet = DEFAULT_CHARSET;
  const SelectedFont font(name.c_str(), request);
  if (!font.dc()) return std::string();
  std::string identity;
  // The naming table holds every name of the face, in every language.
  constexpr DWORD kNameTable = 'n' | 'a' << 8 | 'm' << 16 | 'e' << 24;
  const DWORD size = GetFontData(font.dc(), kNameTable, 0, nullptr, 0);
  if (size != GDI_ERROR && size > 0) {
    identity.resize(size);
    if (GetFontData(font.dc(), kNameTable, 0, identity.data(), size) != size) identity.clear();
  }
  return identity;
#else
  const auto utf8 = GbkToUtf8(name);
  if (!utf8) return std::string();
  const auto match = MatchInstalledFont(*utf8, 0, false, DEFAULT_CHARSET);
  if (!match || !match->exact()) return std::string();
  return match->file + '\0' + std::to_string(match->index);
#endif
}

#ifdef _WIN32
std::uint16_t BigEndian16(const std::string& table, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(table[at]) << 8 |
                                    static_cast<unsigned char>(table[at + 1]));
}

// The family names (name 1, the one GDI matches) a naming table gives in its
// Windows Unicode records, in the ANSI code page; GDI enumerates a face
// under one of them only.
std::vector<std::string> FamilyNames(const std::string& table) {
  std::vector<std::string> names;
  if (table.size() < 6) return names;
  const std::size_t count = BigEndian16(table, 2), strings = BigEndian16(table, 4);
  for (std::size_t r = 0; r < count && 6 + 12 * (r + 1) <= table.size(); ++r) {
    const std::size_t at = 6 + 12 * r;
    const std::uint16_t platform = BigEndian16(table, at), encoding = BigEndian16(table, at + 2);
    const std::size_t length = BigEndian16(table, at + 8), offset = strings + BigEndian16(table, at + 10);
    if (platform != 3 || (encoding != 1 && encoding != 10) || BigEndian16(table, at + 6) != 1) continue;
    if (offset + length > table.size() || length == 0 || length % 2) continue;
    std::wstring wide;
    for (std::size_t k = 0; k < length; k += 2) wide += static_cast<wchar_t>(BigEndian16(table, offset + k));
    BOOL usedDefault = FALSE;
    char bytes[LF_FACESIZE * 2] = {};
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), bytes,
                                      sizeof(bytes), nullptr, &usedDefault);
    if (n > 0 && n < LF_FACESIZE && !usedDefault) names.emplace_back(bytes, static_cast<std::size_t>(n));
  }
  return names;
}
#endif

bool IsAscii(const std::string& name) {
  return std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::vector<InstalledFace> ListInstalledFacesOnce() {
  std::vector<std::vector<std::string>> groups;
  std::map<std::string, std::size_t> groupOf;
  for (std::string& name : ListInstalledFaces()) {
    const std::string identity = FontIdentity(name);
    const auto [it, added] = groupOf.emplace(identity, groups.size());
    if (identity.empty() || added) {
      groups.push_back({std::move(name)});
    } else {
      groups[it->second].push_back(std::move(name));
    }
  }
#ifdef _WIN32
  // The names GDI did not enumerate (on a Chinese system, the English ones).
  for (const auto& [identity, group] : groupOf) {
    if (identity.empty()) continue;
    std::vector<std::string>& names = groups[group];
    for (std::string& name : FamilyNames(identity)) {
      if (name.front() != '@' &&
          std::none_of(names.begin(), names.end(), [&](const std::string& n) { return FoldCase(n) == FoldCase(name); }))
        names.push_back(std::move(name));
    }
  }
#endif
  std::vector<InstalledFace> faces;
  for (std::vector<std::string>& names : groups) {
    const auto listed = std::find_if(names.begin(), names.end(), IsAscii);
    InstalledFace face;
    face.name = listed == names.end() ? names.front() : *listed;
    for (std::string& other : names) {
      if (&other != &*(listed == names.end() ? names.begin() : listed)) face.otherNames.push_back(std::move(other));
    }
    faces.push_back(std::move(face));
  }
  std::stable_sort(faces.begin(), faces.end(),
                   [](const InstalledFace& a, const InstalledFace& b) { return FoldCase(a.name) < FoldCase(b.name); });
  return faces;
}

}  // namespace qzf
