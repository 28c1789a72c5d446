#include "platform/fontengine/freetype_handles.h"

#include FT_OUTLINE_H

namespace qzf {

OutlineCopy::OutlineCopy(FT_Library library, const FT_Outline& source) : library_(library) {
  allocated_ = FT_Outline_New(library, static_cast<FT_UInt>(source.n_points), source.n_contours, &outline_) == 0;
  ok_ = allocated_ && FT_Outline_Copy(&source, &outline_) == 0;
}

OutlineCopy::~OutlineCopy() {
  if (allocated_) FT_Outline_Done(library_, &outline_);
}

FreeTypeLibrary ProcessFreeType() {
  static const FreeTypeLibrary library = [] {
    FT_Library raw = nullptr;
    if (FT_Init_FreeType(&raw) != 0) return FreeTypeLibrary();
    return FreeTypeLibrary(raw, [](FT_Library l) { FT_Done_FreeType(l); });
  }();
  return library;
}

}  // namespace qzf
