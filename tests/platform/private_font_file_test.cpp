// A font file that no font directory holds becomes usable by this process
// through AddFontResourceExA with FR_PRIVATE, and is gone after
// RemoveFontResourceExA. The same tests run natively and, in the Windows
// build, against GDI itself.
#include "platform/portable/private_font_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/portable/installed_faces.h"
#include "platform/portable/selected_font.h"
#include "platform/win32.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

constexpr char kPrivateFamily[] = "QZF Private Hei";
constexpr char kSourceFamily[] = "WenQuanYi Micro Hei";  // the face the file is a copy of
constexpr UINT kYong = 0xD3C0;                           // 永

bool Listed(const char* family) {
  const auto names = ListInstalledFaces();
  return std::find(names.begin(), names.end(), family) != names.end();
}

FontRequest Cell(int height) {
  FontRequest request;
  request.height = height;
  return request;
}

// 永 as the pass fetches it, or nothing when the face is a substitute.
std::vector<unsigned char> YongIn(const char* family, int height) {
  const SelectedFont font(family, Cell(height));
  if (!font.FaceMatches()) return {};
  constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  GLYPHMETRICS gm = {};
  const DWORD size = GetGlyphOutlineA(font.dc(), kYong, GGO_GRAY4_BITMAP, &gm, 0, nullptr, &kIdentity);
  if (size == GDI_ERROR || size == 0) return {};
  std::vector<unsigned char> bits(size);
  GetGlyphOutlineA(font.dc(), kYong, GGO_GRAY4_BITMAP, &gm, size, bits.data(), &kIdentity);
  return bits;
}

#ifdef QZF_PRIVATE_FONT_PATH

// Each step asks for another height: Wine hands out again a font it made
// earlier for the very same request, whatever was added or removed since.
TEST(PrivateFontFileTest, FontIsFoundByFamilyAndListedOnlyWhileAdded) {
  const auto original = YongIn(kSourceFamily, 24);
  if (original.empty()) GTEST_SKIP() << kSourceFamily << " is not installed";
  ASSERT_FALSE(Listed(kPrivateFamily));
  ASSERT_TRUE(YongIn(kPrivateFamily, 21).empty());
  {
    const PrivateFontFile file(QZF_PRIVATE_FONT_PATH);
    ASSERT_GE(file.fontsAdded(), 1);
    EXPECT_TRUE(Listed(kPrivateFamily));
    const SelectedFont font(kPrivateFamily, Cell(22));
    EXPECT_TRUE(font.FaceMatches());
    EXPECT_EQ(font.FaceName(), kPrivateFamily);
    // Drawn from the file: the copied face's own glyphs.
    EXPECT_EQ(YongIn(kPrivateFamily, 24), original);
  }
  EXPECT_FALSE(Listed(kPrivateFamily));
  EXPECT_TRUE(YongIn(kPrivateFamily, 23).empty());
}

TEST(PrivateFontFileTest, RemovingTwiceFails) {
  ASSERT_GE(AddFontResourceExA(QZF_PRIVATE_FONT_PATH, FR_PRIVATE, nullptr), 1);
  EXPECT_TRUE(RemoveFontResourceExA(QZF_PRIVATE_FONT_PATH, FR_PRIVATE, nullptr));
  EXPECT_FALSE(RemoveFontResourceExA(QZF_PRIVATE_FONT_PATH, FR_PRIVATE, nullptr));
  EXPECT_FALSE(Listed(kPrivateFamily));
}

#endif

TEST(PrivateFontFileTest, FilesWithoutAFontAddNothing) {
  test::ScratchDir dir;
  test::WriteBytes(dir.File("notes.ttf"), "not a font at all\n");
  for (const std::string& path : {dir.File("missing.ttf"), dir.File("notes.ttf")}) {
    SCOPED_TRACE(path);
    const PrivateFontFile file(path);
    EXPECT_EQ(file.fontsAdded(), 0);
    EXPECT_FALSE(RemoveFontResourceExA(path.c_str(), FR_PRIVATE, nullptr));
  }
}

}  // namespace
}  // namespace qzf
