// A zlib stream made for speed over size: greedy LZ77 matches found through a
// one-entry hash table, coded with deflate's fixed Huffman codes. Pictures of
// text (long runs of the band colour, rows that repeat) shrink well with it
// at several hundred megabytes a second.
#pragma once

#include <span>
#include <vector>

namespace qzf {

std::vector<unsigned char> ZlibCompressFast(std::span<const unsigned char> data);

}  // namespace qzf
