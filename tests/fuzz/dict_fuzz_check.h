// What every fuzz target asserts about a store after each operation: the
// entries stay complete, inside the text buffer and within the record array.
#pragma once

#include "dict/qorv_string_dict.h"

namespace qzf::fuzz {

// Traps (a crash libFuzzer reports) when the store is inconsistent.
void CheckConsistent(const QorvStringDict& dict);

}  // namespace qzf::fuzz
