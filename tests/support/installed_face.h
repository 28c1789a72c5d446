// Whether a face the tests draw with is installed: tests that need one skip
// with a message naming it when it is not, rather than fail.
#pragma once

#include <string>

namespace qzf::test {

// `face` in UTF-8, matched without regard to ASCII case against the names
// the system lists (English and localised).
bool FaceInstalled(const std::string& face);

// The message a test skips with: "<face> is not installed: ...".
std::string NotInstalled(const std::string& face);

}  // namespace qzf::test

// Skips the running test unless `face` is installed.
#define QZF_REQUIRE_FACE(face)                                                              \
  do {                                                                                      \
    if (!::qzf::test::FaceInstalled(face)) GTEST_SKIP() << ::qzf::test::NotInstalled(face); \
  } while (false)
