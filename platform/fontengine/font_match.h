// Finds the installed font that stands for a GDI face name, through
// fontconfig. A name matches a font when it equals any of the font's family
// names, in any language, ignoring case, as GDI matches English and
// localised names alike. As GDI does, a face that does not serve the
// requested character set is passed over, and an unknown name (or one whose
// faces all are passed over) gets fontconfig's best substitute that serves
// it, preferring fonts that cover Simplified Chinese.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qzf {

struct FontMatch {
  std::string file;
  int index = 0;                      // face index within the file (a collection holds several)
  std::vector<std::string> families;  // all the font's family names, UTF-8
  int matched = -1;                   // the one equal to the request; -1 for a substitute

  bool exact() const { return matched >= 0; }
};

// familyUtf8 may be empty (no name asked for). weight is a GDI weight
// (0 meaning normal); like italic it only steers the choice among the faces
// of the family. charSet is a GDI character set (DEFAULT_CHARSET: any).
// Nullopt when no font at all can be had.
// Answers are kept until ForgetFontMatches.
std::optional<FontMatch> MatchInstalledFont(std::string_view familyUtf8, int weight, bool italic, int charSet);

// For when the installed fonts change (application fonts come or go); with
// FontconfigLock held.
void ForgetFontMatches();

}  // namespace qzf
