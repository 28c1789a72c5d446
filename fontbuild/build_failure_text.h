// Why a build failed, as one line for a player, in either language: the
// command line and the studio say the same things from the same catalog.
#pragma once

#include <string>

#include "fontbuild/font_build.h"
#include "i18n/message_catalog.h"

namespace qzf {

// What the front end calls the build's inputs and output, in UTF-8.
struct BuildFailureNames {
  std::string face;        // as asked for
  std::string fontFile;    // the font file the result names, as the user gave it
  std::string base;        // the base font file
  std::string dictionary;  // empty: the embedded one
  std::string output;
  bool optionHints = false;  // add the command-line option that helps
};

std::string BuildFailureText(const FontBuildResult& result, const BuildFailureNames& names, MessageLanguage language);

}  // namespace qzf
