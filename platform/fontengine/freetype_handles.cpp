#include "platform/fontengine/freetype_handles.h"

#include FT_OUTLINE_H

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>

namespace qzf {
namespace {

std::mutex& FaceLock() {
  static std::mutex lock;
  return lock;
}

// A font file mapped read-only, whole.
class MappedFontFile {
 public:
  static std::shared_ptr<const MappedFontFile> Open(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status {};
    void* bytes = MAP_FAILED;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0)
      bytes = ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (bytes == MAP_FAILED) return nullptr;
    return std::shared_ptr<const MappedFontFile>(new MappedFontFile(bytes, static_cast<std::size_t>(status.st_size)));
  }
  ~MappedFontFile() { ::munmap(bytes_, size_); }
  MappedFontFile(const MappedFontFile&) = delete;
  MappedFontFile& operator=(const MappedFontFile&) = delete;

  const FT_Byte* bytes() const { return static_cast<const FT_Byte*>(bytes_); }
  FT_Long size() const { return static_cast<FT_Long>(size_); }

 private:
  MappedFontFile(void* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  void* bytes_;
  std::size_t size_;
};

// The mapping of a file that open faces read from, or a new one. Called
// under the face lock.
std::shared_ptr<const MappedFontFile> SharedMapping(const std::string& path) {
  static std::map<std::string, std::weak_ptr<const MappedFontFile>> mappings;
  if (auto mapped = mappings[path].lock()) return mapped;
  auto mapped = MappedFontFile::Open(path);
  if (mapped) mappings[path] = mapped;
  // Mappings no face uses any more are forgotten as others are made.
  std::erase_if(mappings, [](const auto& entry) { return entry.second.expired(); });
  return mapped;
}

}  // namespace

void FtFaceDeleter::operator()(FT_Face face) const {
  std::lock_guard lock(FaceLock());
  FT_Done_Face(face);
}

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

FtFacePtr OpenFontFace(const std::string& file, int faceIndex) {
  const FreeTypeLibrary library = ProcessFreeType();
  if (!library) return nullptr;
  std::lock_guard lock(FaceLock());
  FT_Face raw = nullptr;
  std::shared_ptr<const MappedFontFile> mapped = SharedMapping(file);
  if (mapped) {
    if (FT_New_Memory_Face(library.get(), mapped->bytes(), mapped->size(), faceIndex, &raw) != 0) return nullptr;
  } else if (FT_New_Face(library.get(), file.c_str(), faceIndex, &raw) != 0) {
    return nullptr;
  }
  return FtFacePtr(raw, FtFaceDeleter{std::move(mapped)});
}

}  // namespace qzf
