// Owning wrappers for the fontconfig objects the native font calls use, and
// the process's one fontconfig configuration (loaded on first use: reading
// the font caches is the slow part, and it is done once).
#pragma once

#include <fontconfig/fontconfig.h>

#include <memory>
#include <mutex>

namespace qzf {

struct FcPatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FcFontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct FcObjectSetDeleter {
  void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};

using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;
using FcFontSetPtr = std::unique_ptr<FcFontSet, FcFontSetDeleter>;
using FcObjectSetPtr = std::unique_ptr<FcObjectSet, FcObjectSetDeleter>;

// Null when fontconfig cannot load its configuration.
FcConfig* ProcessFontconfig();

// Held by every use of that configuration: application fonts change it, and
// fonts are matched on several threads at once.
std::mutex& FontconfigLock();

}  // namespace qzf
