#include "dict/load_dictionary_file.h"

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

}  // namespace qzf
