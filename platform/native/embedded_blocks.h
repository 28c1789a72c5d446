// The table of data blocks linked into a native executable. It is written by
// qzf_embed_blocks (cmake/EmbedBlocks.cmake); an executable without blocks has
// no table at all, which the weak reference turns into a null pointer.
#pragma once

#include <cstdint>

struct EmbeddedBlock {
  std::uint64_t id;  // 0 ends the table
  const unsigned char* data;
  std::uint64_t size;
};

extern "C" const EmbeddedBlock qzf_embedded_blocks[] __attribute__((weak));
