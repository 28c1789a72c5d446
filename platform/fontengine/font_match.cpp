#include "platform/fontengine/font_match.h"

#include <compare>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "platform/fontengine/code_page_ranges.h"
#include "platform/fontengine/fontconfig_handles.h"

namespace qzf {
namespace {

const char* PatternString(FcPattern* pattern, const char* object, int n) {
  FcChar8* value = nullptr;
  if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch) return nullptr;
  return reinterpret_cast<const char*>(value);
}

// Every installed outline font, best first for the request.
FcFontSetPtr SortedFonts(FcConfig* config, const std::string& family, int weight, bool italic) {
  FcPatternPtr pattern(FcPatternCreate());
  if (!pattern) return nullptr;
  if (!family.empty()) FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  // GDI tells only bold from not bold when it picks a face of a family: a
  // weight above 550 asks for the bold one.
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, weight > 550 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
  FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
  if (!FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) return nullptr;
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  return FcFontSetPtr(FcFontSort(config, pattern.get(), FcFalse, nullptr, &result));
}

std::optional<FontMatch> Candidate(FcPattern* font, const std::string& family) {
  FcBool outline = FcFalse;
  if (FcPatternGetBool(font, FC_OUTLINE, 0, &outline) != FcResultMatch || !outline) return std::nullopt;
  const char* file = PatternString(font, FC_FILE, 0);
  if (!file) return std::nullopt;
  FontMatch match;
  match.file = file;
  FcPatternGetInteger(font, FC_INDEX, 0, &match.index);
  for (int n = 0; const char* name = PatternString(font, FC_FAMILY, n); ++n) {
    match.families.emplace_back(name);
    if (match.matched < 0 && !family.empty() &&
        FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(name), reinterpret_cast<const FcChar8*>(family.c_str())) ==
            0) {
      match.matched = n;
    }
  }
  return match;
}

bool Serves(const FontMatch& match, std::uint32_t codePage) {
  return codePage == 0 || (FaceCodePages(match.file, match.index) & codePage) != 0;
}

struct MatchKey {
  std::string family;
  bool bold;
  bool italic;
  int charSet;
  auto operator<=>(const MatchKey&) const = default;
};

// What was found for each request since the fonts last changed: every
// worker of a build asks for the same few fonts, and sorting every installed
// font takes longer than drawing a glyph.
std::map<MatchKey, std::optional<FontMatch>>& Matches() {
  static std::map<MatchKey, std::optional<FontMatch>> matches;
  return matches;
}

std::optional<FontMatch> Match(FcConfig* config, const std::string& family, int weight, bool italic, int charSet) {
  const std::uint32_t codePage = CodePageBitOfCharSet(charSet);

  // The family's best face that serves the character set.
  if (!family.empty()) {
    const FcFontSetPtr fonts = SortedFonts(config, family, weight, italic);
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
      auto match = Candidate(fonts->fonts[i], family);
      if (match && match->exact() && Serves(*match, codePage)) return match;
    }
  }
  // Else the best substitute that serves it; failing that, the best at all.
  const FcFontSetPtr fonts = SortedFonts(config, std::string(), weight, italic);
  std::optional<FontMatch> first;
  for (int i = 0; fonts && i < fonts->nfont; ++i) {
    auto match = Candidate(fonts->fonts[i], std::string());
    if (!match) continue;
    if (Serves(*match, codePage)) return match;
    if (!first) first = std::move(match);
  }
  return first;
}

}  // namespace

std::optional<FontMatch> MatchInstalledFont(std::string_view familyUtf8, int weight, bool italic, int charSet) {
  FcConfig* config = ProcessFontconfig();
  if (!config) return std::nullopt;
  std::lock_guard lock(FontconfigLock());
  // GDI tells only bold from not bold when it picks a face of a family.
  MatchKey key{std::string(familyUtf8), weight > 550, italic, charSet};
  auto& matches = Matches();
  if (const auto found = matches.find(key); found != matches.end()) return found->second;
  auto match = Match(config, key.family, weight, italic, charSet);
  matches.emplace(std::move(key), match);
  return match;
}

void ForgetFontMatches() { Matches().clear(); }

}  // namespace qzf
