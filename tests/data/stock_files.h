// The stand-in font file and dictionary text the build generated, read from
// disk once per test program.
#pragma once

#include <string>
#include <vector>

namespace qzf::test {

const std::vector<unsigned char>& GeneratedFont();
const std::string& GeneratedDictionaryText();

}  // namespace qzf::test
