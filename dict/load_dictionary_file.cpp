#include "dict/load_dictionary_file.h"

#include <string>

#include "fileutil/data_blocks.h"
#include "fileutil/data_resource_bytes.h"
#include "fileutil/file_range.h"

namespace qzf {

bool IsBinaryDictionaryFile(const char* path) {
  unsigned char head[4] = {};
  ReadFileRangeArgs args;
  args.path = path;
  args.buffer = head;
  args.size = sizeof(head);
  // A text dictionary begins with its banner or a line break, never 01 00 00 00.
  return ReadFileRange(args) == 4 && head[0] == 1 && head[1] == 0 && head[2] == 0 && head[3] == 0;
}

std::uint32_t LoadDictionaryFile(QorvStringDict& dictionary, const char* path) {
  if (path == nullptr) return 0;
  return IsBinaryDictionaryFile(path) ? dictionary.LoadFromBINFileA(path) : dictionary.LoadFromTXTFileA(path);
}

std::uint32_t LoadEmbeddedDictionary(QorvStringDict& dictionary) {
  const auto block = DataResourceBytes(kDictionaryBlock);
  if (!block) return 0;
  // The block carries no terminating NUL.
  const std::string text(reinterpret_cast<const char*>(block->data()), block->size());
  return dictionary.LoadFromTXTStringA(text.c_str());
}

}  // namespace qzf
