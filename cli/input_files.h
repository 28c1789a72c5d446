// The files commands read, named by the user in UTF-8: font files and
// dictionaries. Each failure is reported in one line and sets the status.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dict/qorv_string_dict.h"

namespace qzf::cli {

// The whole file; with `mustBeFont`, also refused unless it is a game font file.
std::optional<std::vector<unsigned char>> LoadInputFile(const std::string& utf8Path, int& status,
                                                        bool mustBeFont = false);

// The dictionary file (text or binary image), or the embedded one when the
// path is empty. False, with the status set, when it does not load.
bool LoadInputDictionary(QorvStringDict& dictionary, const std::string& utf8Path, int& status);

}  // namespace qzf::cli
