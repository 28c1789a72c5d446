// A large zero-filled block of memory for a whole font image. On Linux it is
// its own mapping, laid on 2 MiB pages where the system allows them: a pass
// touches every page of its 20 MB image, and on small pages the faults cost
// more than reading and writing the file (the build profile showed them at a
// third of its time).
#pragma once

#include <cstddef>

namespace qzf {

class ZeroedBlock {
 public:
  ZeroedBlock() = default;
  ~ZeroedBlock();
  ZeroedBlock(ZeroedBlock&& other) noexcept;
  ZeroedBlock& operator=(ZeroedBlock&& other) noexcept;
  ZeroedBlock(const ZeroedBlock&) = delete;
  ZeroedBlock& operator=(const ZeroedBlock&) = delete;

  // Replaces the block by `size` zero bytes; false, with the block left
  // empty, when the memory cannot be had.
  bool Allocate(std::size_t size);
  void Release();
  // Has the system give the block's pages now (where it can), so that their
  // first use does not wait for them.
  void Populate();

  unsigned char* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  unsigned char* data_ = nullptr;
  std::size_t size_ = 0;
  void* mapping_ = nullptr;  // what was mapped (or allocated), to give back
  std::size_t mappedSize_ = 0;
};

}  // namespace qzf
