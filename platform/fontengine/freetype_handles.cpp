#include "platform/fontengine/freetype_handles.h"

#include FT_OUTLINE_H

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace qzf {
namespace {

// What tells one state of a file from another: a file replaced or rewritten
// under the same name is not the one mapped or read before.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t modified = 0;  // ns
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return {};
  return FileIdentity{status.st_dev, status.st_ino, status.st_size,
                      std::int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec};
}

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
std::shared_ptr<const MappedFontFile> SharedMapping(const std::string& path, const FileIdentity& identity) {
  struct Mapped {
    FileIdentity identity;
    std::weak_ptr<const MappedFontFile> mapping;
  };
  static std::map<std::string, Mapped> mappings;
  Mapped& known = mappings[path];
  if (auto mapped = known.mapping.lock(); mapped && known.identity == identity) return mapped;
  auto mapped = MappedFontFile::Open(path);
  if (mapped) known = Mapped{identity, mapped};
  // Mappings no face uses any more are forgotten as others are made.
  std::erase_if(mappings, [](const auto& entry) { return entry.second.mapping.expired(); });
  return mapped;
}

void DoneFace(FT_Face face) {
  std::lock_guard lock(FaceLock());
  FT_Done_Face(face);
}

// Faces a thread let go of, kept for its next font of the same file: every
// font a thread makes (one per size it draws, and per size a fit tries)
// would otherwise read the font's tables anew. A face is only ever used by
// the thread that holds it; whoever takes one from here sets its size and
// character map again, as for a new face.
// Whether this thread's IdleFaces exists: a face freed while the thread
// ends, after its IdleFaces went, is simply freed.
thread_local bool idleFacesAlive = false;

class IdleFaces {
 public:
  IdleFaces() { idleFacesAlive = true; }
  IdleFaces(const IdleFaces&) = delete;
  IdleFaces& operator=(const IdleFaces&) = delete;
  ~IdleFaces() {
    idleFacesAlive = false;
    for (Entry& entry : entries_) DoneFace(entry.face);
  }

  FT_Face Take(const std::string& file, int index, const FileIdentity& identity, std::shared_ptr<const void>& source) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->file != file || it->index != index) continue;
      if (it->identity != identity) {
        // The file changed since: its face is of no use any more.
        DoneFace(it->face);
        entries_.erase(it);
        return nullptr;
      }
      FT_Face face = it->face;
      source = std::move(it->source);
      entries_.erase(it);
      return face;
    }
    return nullptr;
  }
  // False when full: the caller frees the face.
  bool Keep(const std::string& file, int index, const FileIdentity& identity, FT_Face face,
            const std::shared_ptr<const void>& source) {
    if (entries_.size() >= kKept) return false;
    entries_.push_back(Entry{file, index, identity, face, source});
    return true;
  }

 private:
  static constexpr std::size_t kKept = 4;
  struct Entry {
    std::string file;
    int index;
    FileIdentity identity;
    FT_Face face;
    std::shared_ptr<const void> source;
  };
  std::vector<Entry> entries_;
};

IdleFaces& ThisThreadsIdleFaces() {
  thread_local IdleFaces faces;
  return faces;
}

}  // namespace

void FtFaceDeleter::operator()(FT_Face face) const {
  if (index >= 0 && idleFacesAlive && ThisThreadsIdleFaces().Keep(file, index, IdentityOf(file), face, source)) return;
  DoneFace(face);
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
  const FileIdentity identity = IdentityOf(file);
  std::shared_ptr<const void> source;
  if (FT_Face idle = ThisThreadsIdleFaces().Take(file, faceIndex, identity, source))
    return FtFacePtr(idle, FtFaceDeleter{std::move(source), file, faceIndex});
  std::lock_guard lock(FaceLock());
  FT_Face raw = nullptr;
  std::shared_ptr<const MappedFontFile> mapped = SharedMapping(file, identity);
  if (mapped) {
    if (FT_New_Memory_Face(library.get(), mapped->bytes(), mapped->size(), faceIndex, &raw) != 0) return nullptr;
  } else if (FT_New_Face(library.get(), file.c_str(), faceIndex, &raw) != 0) {
    return nullptr;
  }
  return FtFacePtr(raw, FtFaceDeleter{std::move(mapped), file, faceIndex});
}

}  // namespace qzf
