// Building dictionary texts and reading a store back in the dictionary tests.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "dict/qorv_string_dict.h"

namespace qzf::test {

struct Entry {
  std::string eng;
  std::string chi;
  std::string remark;
  bool operator==(const Entry&) const = default;
};
void PrintTo(const Entry& e, std::ostream* os);

// One entry block as the saver writes it, with index as its digits.
std::string DictBlock(std::size_t index, const Entry& e);
// A whole saved text: banner, blocks numbered from 0, trailer.
std::string DictText(const std::vector<Entry>& entries);

// The entries as (ENG, CHI, Remark00) byte strings, by their lengths.
std::vector<Entry> Entries(const QorvStringDict& dict);

// Whether p lies inside the store's text buffer (textCapacity + 4 bytes).
bool InTextBuffer(const QorvStringDict& dict, const char* p);
// Every entry's three texts lie inside the text buffer, hold no NUL and have
// their NUL at pointer + length, with four readable bytes from the pointer.
::testing::AssertionResult Consistent(const QorvStringDict& dict);

// A path the Win32 calls take, with backslashes on both builds.
std::string WinPath(const std::string& path);

}  // namespace qzf::test
