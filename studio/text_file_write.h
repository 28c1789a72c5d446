// A small text file written whole or not at all: into a temporary file
// beside it, renamed over it once every byte is there.
#pragma once

#include <string>

namespace qzf::studio {

// path: system byte path. False leaves an existing file as it was.
bool WriteTextFileWhole(const std::string& path, const std::string& text);

}  // namespace qzf::studio
