// A JSON record written to a file the user named (build --report).
#pragma once

#include <string>

namespace qzf::cli {

// The exit status: 0, or 1 after one line saying why.
int WriteRecordFile(const std::string& utf8Path, const std::string& record);

}  // namespace qzf::cli
