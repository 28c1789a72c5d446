// Temporary files an earlier process left beside a target when it was killed
// before it could remove them (SIGKILL, a power cut).
#pragma once

#include <cstdint>
#include <string>

namespace qzf {

// Removes every TARGET.WHAT-PID.tmp (TemporaryPathBeside) whose process no
// longer runs; files of running processes, of this one, and any other name
// are left alone. The number removed.
std::uint32_t RemoveStaleTemporaryFiles(const std::string& target, const char* what);

}  // namespace qzf
