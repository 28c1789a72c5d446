// How well each installed face suits the dictionary: how many of the
// characters it names each face has a glyph for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "platform/portable/installed_faces.h"

namespace qzf {

// The first GBK character of every entry that names one (entries marked to
// keep the game's glyph name none), as one string of two-byte characters.
std::string DictionaryCharacters(const QorvStringDict& dictionary);

struct FaceCoverage {
  InstalledFace face;
  std::uint32_t drawable = 0;  // of the characters asked about
};

// Each installed face once, the ones that draw most first (ties by name).
std::vector<FaceCoverage> ListFaceCoverage(const std::string& characters);

}  // namespace qzf
