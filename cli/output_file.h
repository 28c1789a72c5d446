// Files the command line writes for the user (pictures, records, style
// files): whole or not at all, through the atomic write, with one line
// saying why when they cannot be written.
#pragma once

#include <span>
#include <string>

namespace qzf::cli {

// The exit status: 0, or 1 after the one line on standard error.
int WriteOutputFile(const std::string& utf8Path, std::span<const unsigned char> bytes);
int WriteOutputFile(const std::string& utf8Path, const std::string& text);

}  // namespace qzf::cli
