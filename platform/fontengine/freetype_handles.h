// Owning wrappers for FreeType objects. The library is shared by every face
// made from it, so that a face never outlives it.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>

namespace qzf {

using FreeTypeLibrary = std::shared_ptr<FT_LibraryRec_>;

struct FtFaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FtFacePtr = std::unique_ptr<FT_FaceRec_, FtFaceDeleter>;

// A copy of an outline, made in the library's memory and freed with it.
class OutlineCopy {
 public:
  OutlineCopy(FT_Library library, const FT_Outline& source);
  ~OutlineCopy();
  OutlineCopy(const OutlineCopy&) = delete;
  OutlineCopy& operator=(const OutlineCopy&) = delete;

  bool ok() const { return ok_; }
  FT_Outline* get() { return &outline_; }

 private:
  FT_Library library_;
  FT_Outline outline_{};
  bool allocated_ = false;
  bool ok_ = false;
};

// The process's FreeType library, made on first use; null when FreeType
// cannot start.
FreeTypeLibrary ProcessFreeType();

}  // namespace qzf
