// Where a dictionary loader reads from: a name with a backslash or a slash
// is a path as it stands, any other name is a file in the current directory.
#pragma once

#include <cstdint>

namespace qzf {

// Writes the resolved, NUL-terminated path into out (size bytes). False, with
// out untouched, for a null or empty name, when the name or the resolved path would not fit (size bytes
// or more with its terminator) or the current directory cannot be read.
bool ResolveDictPath(const char* name, char* out, std::uint32_t size);

}  // namespace qzf
