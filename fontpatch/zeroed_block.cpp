#include "fontpatch/zeroed_block.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace qzf {
namespace {

#ifdef __linux__
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this the block is left to the heap: huge pages would only waste memory.
constexpr std::size_t kMapThreshold = std::size_t{4} << 20;
#endif

}  // namespace

ZeroedBlock::~ZeroedBlock() { Release(); }

ZeroedBlock::ZeroedBlock(ZeroedBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapping_(std::exchange(other.mapping_, nullptr)),
      mappedSize_(std::exchange(other.mappedSize_, 0)) {}

ZeroedBlock& ZeroedBlock::operator=(ZeroedBlock&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapping_ = std::exchange(other.mapping_, nullptr);
    mappedSize_ = std::exchange(other.mappedSize_, 0);
  }
  return *this;
}

void ZeroedBlock::Release() {
#ifdef __linux__
  if (mappedSize_ != 0) {
    munmap(mapping_, mappedSize_);
  } else {
    std::free(mapping_);
  }
#else
  std::free(mapping_);
#endif
  data_ = nullptr;
  size_ = 0;
  mapping_ = nullptr;
  mappedSize_ = 0;
}

void ZeroedBlock::Populate() {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
  // Only a hint: an older kernel refuses it and the pages come on first use.
  if (mappedSize_ == 0) return;
  const std::size_t used = (size_ + kHugePage - 1) / kHugePage * kHugePage;
  madvise(data_, used, MADV_POPULATE_WRITE);
#endif
}

bool ZeroedBlock::Allocate(std::size_t size) {
  Release();
  if (size == 0) size = 1;
#ifdef __linux__
  if (size >= kMapThreshold && size <= SIZE_MAX - 2 * kHugePage) {
    // One huge page more than needed, so that the block can start on a
    // huge-page boundary; fresh anonymous pages are zero already.
    const std::size_t mapped = (size + kHugePage - 1) / kHugePage * kHugePage + kHugePage;
    void* mapping = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) return false;
    const auto address = reinterpret_cast<std::uintptr_t>(mapping);
    const std::uintptr_t aligned = (address + kHugePage - 1) / kHugePage * kHugePage;
    // Only a hint: without huge pages the block works the same, just slower.
    madvise(reinterpret_cast<void*>(aligned), mapped - (aligned - address), MADV_HUGEPAGE);
    mapping_ = mapping;
    mappedSize_ = mapped;
    data_ = reinterpret_cast<unsigned char*>(aligned);
    size_ = size;
    return true;
  }
#endif
  mapping_ = std::calloc(size, 1);
  data_ = static_cast<unsigned char*>(mapping_);
  if (data_ == nullptr) return false;
  size_ = size;
  return true;
}

}  // namespace qzf
