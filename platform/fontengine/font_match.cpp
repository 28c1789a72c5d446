#include "platform/fontengine/font_match.h"

#include <string>

#include "platform/fontengine/fontconfig_handles.h"

namespace qzf {
namespace {

const char* PatternString(FcPattern* pattern, const char* object, int n) {
  FcChar8* value = nullptr;
  if (FcPatternGetString(pattern, object, n, &value) != FcResultMatch) return nullptr;
  return reinterpret_cast<const char*>(value);
}

}  // namespace

std::optional<FontMatch> MatchInstalledFont(std::string_view familyUtf8, int weight, bool italic) {
  FcConfig* config = ProcessFontconfig();
  if (!config) return std::nullopt;
  FcPatternPtr pattern(FcPatternCreate());
  if (!pattern) return std::nullopt;
  const std::string family(familyUtf8);
  if (!family.empty()) FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  // GDI tells only bold from not bold when it picks a face of a family: a
  // weight above 550 asks for the bold one.
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, weight > 550 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
  FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
  if (!FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) return std::nullopt;
  FcDefaultSubstitute(pattern.get());

  FcResult result = FcResultNoMatch;
  FcPatternPtr found(FcFontMatch(config, pattern.get(), &result));
  if (!found) return std::nullopt;
  const char* file = PatternString(found.get(), FC_FILE, 0);
  if (!file) return std::nullopt;

  FontMatch match;
  match.file = file;
  FcPatternGetInteger(found.get(), FC_INDEX, 0, &match.index);
  for (int n = 0; const char* name = PatternString(found.get(), FC_FAMILY, n); ++n) {
    match.families.emplace_back(name);
    if (match.matched < 0 && !family.empty() &&
        FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(name), reinterpret_cast<const FcChar8*>(family.c_str())) ==
            0) {
      match.matched = n;
    }
  }
  return match;
}

}  // namespace qzf
