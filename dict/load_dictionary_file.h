#pragma once

#include <cstdint>

#include "dict/qorv_string_dict.h"

namespace qzf {

// Loads a dictionary file of either form: a binary image (it begins with the
// version word 1) or the marker text. The number of entries, or 0.
std::uint32_t LoadDictionaryFile(QorvStringDict& dictionary, const char* path);

// Loads the dictionary the program carries (data block 131). The number of
// entries, or 0 when the program carries none or it does not load.
std::uint32_t LoadEmbeddedDictionary(QorvStringDict& dictionary);

// Whether the file begins like a binary image.
bool IsBinaryDictionaryFile(const char* path);

}  // namespace qzf
