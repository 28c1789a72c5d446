#include "tests/data/stock_files.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace qzf::test {
namespace {

template <typename Bytes>
Bytes ReadWhole(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(std::string("cannot read ") + path);
  in.seekg(0, std::ios::end);
  Bytes bytes(static_cast<std::size_t>(in.tellg()), 0);
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!in) throw std::runtime_error(std::string("short read of ") + path);
  return bytes;
}

}  // namespace

const std::vector<unsigned char>& GeneratedFont() {
  static const auto bytes = ReadWhole<std::vector<unsigned char>>(QZF_GENERATED_FONT_PATH);
  return bytes;
}

const std::string& GeneratedDictionaryText() {
  static const auto text = ReadWhole<std::string>(QZF_GENERATED_DICT_PATH);
  return text;
}

}  // namespace qzf::test
