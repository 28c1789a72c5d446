#include "platform/fontengine/freetype_handles.h"

namespace qzf {

FreeTypeLibrary ProcessFreeType() {
  static const FreeTypeLibrary library = [] {
    FT_Library raw = nullptr;
    if (FT_Init_FreeType(&raw) != 0) return FreeTypeLibrary();
    return FreeTypeLibrary(raw, [](FT_Library l) { FT_Done_FreeType(l); });
  }();
  return library;
}

}  // namespace qzf
