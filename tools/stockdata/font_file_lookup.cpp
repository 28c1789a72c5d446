#include "tools/stockdata/font_file_lookup.h"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <stdexcept>

namespace qzf::stock {
namespace {

struct ConfigDeleter {
  void operator()(FcConfig* c) const { FcConfigDestroy(c); }
};
struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

bool HasFamily(FcPattern* font, const std::string& family) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    if (family == reinterpret_cast<const char*>(name)) return true;
  }
  return false;
}

}  // namespace

std::string FindFontFile(const std::string& family) {
  const std::unique_ptr<FcConfig, ConfigDeleter> config(FcInitLoadConfigAndFonts());
  if (!config) throw std::runtime_error("fontconfig cannot be initialised");
  Pattern pattern(FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str())));
  if (!pattern) throw std::runtime_error("bad font pattern: " + family);
  FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  Pattern font(FcFontMatch(config.get(), pattern.get(), &result));
  FcChar8* file = nullptr;
  if (!font || !HasFamily(font.get(), family) || FcPatternGetString(font.get(), FC_FILE, 0, &file) != FcResultMatch) {
    throw std::runtime_error("font family " + family + " is not installed");
  }
  return reinterpret_cast<const char*>(file);
}

}  // namespace qzf::stock
