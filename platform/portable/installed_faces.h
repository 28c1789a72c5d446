// The family names of the outline fonts installed on this system, as a user
// may type them for the tool: English and localised names alike, in the
// ANSI code page (GBK), each once, without the '@' names of vertical faces.
#pragma once

#include <string>
#include <vector>

namespace qzf {

// Sorted, ignoring ASCII case.
std::vector<std::string> ListInstalledFaces();

// One installed face under the name it is listed by, with the other names
// that select the same font (its localised names), all GBK.
struct InstalledFace {
  std::string name;
  std::vector<std::string> otherNames;
};

// Each face of ListInstalledFaces once: names that select the same font
// (the same file and face index; on Windows the same naming table) are one
// face. It is listed by its first name in ASCII letters, if it has one, else
// by its first name; sorted like ListInstalledFaces.
std::vector<InstalledFace> ListInstalledFacesOnce();

}  // namespace qzf
