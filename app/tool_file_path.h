#pragma once

#include <cstddef>

namespace qzf {

// Forms "the executable's directory + fileName" in out (capacity bytes): the
// directory is everything up to the last backslash of modulePath, found by a
// byte scan from the end down to index 1. False, with out untouched, when
// there is no such backslash or the result does not fit.
bool FormToolFilePath(const char* modulePath, const char* fileName, char* out, std::size_t capacity);

}  // namespace qzf
