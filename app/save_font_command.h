#pragma once

namespace qzf {

// The Save button: lays the embedded font file and dictionary next to the
// executable, runs the three rewrite passes and tells the user how it went.
void SaveFontCommand();

}  // namespace qzf
