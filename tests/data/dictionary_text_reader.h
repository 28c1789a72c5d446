// A strict reader of the dictionary text format as the dictionary's saver
// writes it, kept apart from the dictionary's own loader: it wants the
// banner, blocks numbered from 0 in order, and the trailer, with nothing
// else in between.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qzf::test {

struct SavedEntry {
  std::string eng;
  std::string chi;
  std::string remark00;
};

struct SavedDictionary {
  std::string banner;  // the first line, without its line break
  std::vector<SavedEntry> entries;
  std::string problem;  // empty when the text has exactly the saved form
};

SavedDictionary ReadSavedDictionary(std::string_view text);

}  // namespace qzf::test
