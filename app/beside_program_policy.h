// The window's way of building: the stock file and the dictionary laid down
// next to the program, the passes rewriting the font file there in place,
// each pass running whatever the one before it did.
#pragma once

#include "fontbuild/build_policy.h"

namespace qzf {

// `dictionaryPath`: where the dictionary copy goes (DATA1 beside the program).
BuildPolicy BesideProgramPolicy(const char* dictionaryPath);

}  // namespace qzf
