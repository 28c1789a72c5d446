#include "platform/fontengine/application_fonts.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>

#include "platform/fontengine/font_match.h"
#include "platform/fontengine/fontconfig_handles.h"

namespace qzf {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<std::string, int> addedTimes;  // path -> how often added and not yet removed
};

Registry& Files() {
  static Registry registry;
  return registry;
}

int CountOutlineFaces(const std::string& path) {
  FcFontSetPtr set(FcFontSetCreate());
  if (!set) return 0;
  FcFreeTypeQueryAll(reinterpret_cast<const FcChar8*>(path.c_str()), -1, nullptr, nullptr, set.get());
  int count = 0;
  for (int i = 0; i < set->nfont; ++i) {
    FcBool outline = FcFalse;
    if (FcPatternGetBool(set->fonts[i], FC_OUTLINE, 0, &outline) == FcResultMatch && outline) ++count;
  }
  return count;
}

// One spelling per file, so that a removal finds what was added.
std::string Canonical(const std::string& path) {
  std::error_code error;
  const auto absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

}  // namespace

int AddApplicationFontFile(const std::string& file) {
  const std::string path = Canonical(file);
  FcConfig* config = ProcessFontconfig();
  if (!config) return 0;
  const int faces = CountOutlineFaces(path);
  if (faces == 0) return 0;
  Registry& files = Files();
  std::lock_guard lock(files.mutex);
  std::lock_guard configLock(FontconfigLock());
  auto& times = files.addedTimes[path];
  if (times == 0 && !FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(path.c_str()))) {
    files.addedTimes.erase(path);
    return 0;
  }
  ++times;
  ForgetFontMatches();
  return faces;
}

bool RemoveApplicationFontFile(const std::string& file) {
  const std::string path = Canonical(file);
  FcConfig* config = ProcessFontconfig();
  if (!config) return false;
  Registry& files = Files();
  std::lock_guard lock(files.mutex);
  std::lock_guard configLock(FontconfigLock());
  auto it = files.addedTimes.find(path);
  if (it == files.addedTimes.end()) return false;
  if (--it->second > 0) return true;
  files.addedTimes.erase(it);
  // fontconfig drops application fonts only all at once: the others go back.
  FcConfigAppFontClear(config);
  for (const auto& [other, times] : files.addedTimes)
    FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(other.c_str()));
  ForgetFontMatches();
  return true;
}

}  // namespace qzf
