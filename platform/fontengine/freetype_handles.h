// Owning wrappers for FreeType objects. The library is shared by every face
// made from it, so that a face never outlives it.
//
// Faces may be used on several threads at once, each face by one thread at a
// time; making and freeing faces is serialised here, as FreeType asks of a
// library that several threads share.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>

namespace qzf {

using FreeTypeLibrary = std::shared_ptr<FT_LibraryRec_>;

// Frees a face under the library's lock, then lets go of the memory the face
// was read from, if it was; a face of OpenFontFace is kept for the thread's
// next font of that file instead, while there is room.
struct FtFaceDeleter {
  std::shared_ptr<const void> source;
  std::string file;
  int index = -1;  // -1: not from OpenFontFace
  void operator()(FT_Face face) const;
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

// Face `faceIndex` of a font file, in the process's library; null when the
// file cannot be read as a font. Faces of one file open at the same time
// read from one mapping of it, so that its pages are touched once however
// many faces draw from it. The face may be one this thread used before:
// set its size and character map.
FtFacePtr OpenFontFace(const std::string& file, int faceIndex);

}  // namespace qzf
