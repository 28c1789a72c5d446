// The names the studio writes files under: a plain file name inside the
// folder it writes to, never a path. Refused: empty names, "." and "..",
// separators and drive colons, characters no Windows file name may hold,
// control characters, a trailing dot or space (Windows drops them, so the
// name would not be the one checked), Windows device names (CON, NUL, COM1,
// ... with any extension), and names over 120 bytes of UTF-8.
#pragma once

#include <string>

namespace qzf::studio {

// Empty when `utf8Name` may be written, else why not (Simplified Chinese,
// for the page).
std::string CheckOutputName(const std::string& utf8Name);

// Whether the name ends with `extension` (".qzf"), ignoring ASCII case.
bool HasExtension(const std::string& name, const std::string& extension);

}  // namespace qzf::studio
