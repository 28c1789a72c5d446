#pragma once

#include <cstdint>

namespace qzf {

// Makes sure the directory of a file path exists, creating missing levels.
// 1 when the directory was created at the first attempt; otherwise the result
// of the last attempt (so 0 when it already existed); 0 for a null, too short
// (under 2 bytes), too long (260 bytes or more) or separator-less path.
std::int32_t EnsureDirectoryPath(const char* path);

}  // namespace qzf
