// The family names of the outline fonts installed on this system, as a user
// may type them for the tool: English and localised names alike, in the
// ANSI code page (GBK), each once, without the '@' names of vertical faces.
#pragma once

#include <string>
#include <vector>

namespace qzf {

// Sorted, ignoring ASCII case.
std::vector<std::string> ListInstalledFaces();

}  // namespace qzf
