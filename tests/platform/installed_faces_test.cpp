#include "platform/portable/installed_faces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

#include "platform/win32.h"

namespace qzf {
namespace {

std::string Folded(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(InstalledFacesTest, ListsEachTypableFamilyOnce) {
  const auto names = ListInstalledFaces();
  ASSERT_FALSE(names.empty());
  for (size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    ASSERT_FALSE(names[i].empty());
    EXPECT_NE(names[i].front(), '@');
    EXPECT_LT(names[i].size(), static_cast<size_t>(LF_FACESIZE));
    if (i > 0) {
      EXPECT_LT(Folded(names[i - 1]), Folded(names[i]));
    }
  }
  // The fonts the build depends on, where installed, are among them under
  // their English names, and under their Chinese names where GBK is the
  // ANSI code page.
  if (Contains(names, "WenQuanYi Micro Hei")) {
#ifdef _WIN32
    if (GetACP() != 936) {
      EXPECT_EQ(std::getenv("QZF_EXPECT_CODE_PAGE_936"), nullptr) << "ANSI code page " << GetACP() << ", not 936";
      return;
    }
#endif
    EXPECT_TRUE(Contains(names, "\xCE\xC4\xC8\xAA\xE6\xE4\xCE\xA2\xC3\xD7\xBA\xDA"));  // 文泉驿微米黑
  }
}

}  // namespace
}  // namespace qzf
