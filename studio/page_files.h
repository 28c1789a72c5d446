// The page's files (HTML, CSS, JavaScript), carried inside the program: the
// build turns studio/page/ into byte arrays.
#pragma once

#include <optional>
#include <string_view>

namespace qzf::studio {

struct PageFile {
  std::string_view name;  // "index.html"
  std::string_view contentType;
  std::string_view bytes;
};

// The file of that name, if the page has one.
std::optional<PageFile> FindPageFile(std::string_view name);

}  // namespace qzf::studio
