// Small helpers to put bytes in files and read them back in tests, without
// going through the code under test.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace qzf::test {

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool Exists(const std::string& path);
bool IsHidden(const std::string& path);
// The names of the entries of a folder.
std::set<std::string> NamesIn(const std::filesystem::path& folder);

}  // namespace qzf::test
