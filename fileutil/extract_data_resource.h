#pragma once

#include <cstdint>

namespace qzf {

// Copies the "DATA" block `resource` (an integer identifier made with
// MAKEINTRESOURCEA, or a name) of the program's own module to `path`, created
// anew and hidden. 1 when the whole block reached the file; 0 when there is
// no such block (no file is touched) or the file could not be created or
// fully written.
std::int32_t ExtractDataResource(const char* resource, const char* path);

}  // namespace qzf
