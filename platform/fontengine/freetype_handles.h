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

// The process's FreeType library, made on first use; null when FreeType
// cannot start.
FreeTypeLibrary ProcessFreeType();

}  // namespace qzf
