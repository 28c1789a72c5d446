// The window's resources as the program carries them: the dialog template
// read field by field, the picture's header, the icon groups and the manifest.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "resources/resource_ids.h"

namespace {

constexpr WORD kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The bytes of one resource of this test program, empty when it is missing.
std::vector<std::uint8_t> ResourceBytes(LPCWSTR type, int id, WORD language) {
  HRSRC found = FindResourceExW(nullptr, type, MAKEINTRESOURCEW(id), language);
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(nullptr, found);
  const auto* data = static_cast<const std::uint8_t*>(LockResource(loaded));
  return std::vector<std::uint8_t>(data, data + SizeofResource(nullptr, found));
}

// Reads an extended dialog template in order.
class TemplateReader {
 public:
  explicit TemplateReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  WORD Word() { return Read<WORD>(); }
  DWORD Dword() { return Read<DWORD>(); }
  short Short() { return Read<short>(); }
  std::uint8_t Byte() { return bytes_.at(at_++); }
  // A string or an ordinal (0xFFFF then the number, returned as "#n").
  std::wstring SzOrOrdinal() {
    if (Peek() == 0xFFFF) {
      Word();
      return L"#" + std::to_wstring(Word());
    }
    std::wstring text;
    for (WORD c = Word(); c != 0; c = Word()) text.push_back(static_cast<wchar_t>(c));
    return text;
  }
  void AlignDword() { at_ = (at_ + 3) & ~std::size_t{3}; }
  std::size_t Position() const { return at_; }

 private:
  WORD Peek() const {
    if (at_ + sizeof(WORD) > bytes_.size()) throw std::out_of_range("template ends early");
    WORD value;
    std::memcpy(&value, bytes_.data() + at_, sizeof(value));
    return value;
  }
  template <typename T>
  T Read() {
    T value;
    if (at_ + sizeof(T) > bytes_.size()) throw std::out_of_range("template ends early");
    std::memcpy(&value, bytes_.data() + at_, sizeof(T));
    at_ += sizeof(T);
    return value;
  }
  const std::vector<std::uint8_t>& bytes_;
  std::size_t at_ = 0;
};

struct ExpectedControl {
  DWORD id;
  const wchar_t* windowClass;
  const wchar_t* text;
  short x, y, cx, cy;
  DWORD style;
};

TEST(GuiResources, DialogTemplateIsTheMainWindow) {
  const auto bytes = ResourceBytes(MAKEINTRESOURCEW(5) /* RT_DIALOG */, IDD_MAIN_DIALOG, kChineseSimplified);
  ASSERT_FALSE(bytes.empty());
  TemplateReader r(bytes);
  EXPECT_EQ(r.Word(), 1u);       // version
  EXPECT_EQ(r.Word(), 0xFFFFu);  // extended template
  EXPECT_EQ(r.Dword(), 0u);      // help id
  EXPECT_EQ(r.Dword(), 0u);      // extended style
  EXPECT_EQ(r.Dword(), 0x80CA00C8u);
  ASSERT_EQ(r.Word(), 5u);
  EXPECT_EQ(r.Short(), 0);
  EXPECT_EQ(r.Short(), 0);
  EXPECT_EQ(r.Short(), 682);
  EXPECT_EQ(r.Short(), 470);
  EXPECT_EQ(r.SzOrOrdinal(), L"");  // no menu
  EXPECT_EQ(r.SzOrOrdinal(), L"");  // default class
  EXPECT_EQ(r.SzOrOrdinal(), L"Varkon\u4E2A\u6027\u5B57\u4F53\u751F\u6210\u5DE5\u5177");
  EXPECT_EQ(r.Word(), 8u);  // points
  EXPECT_EQ(r.Word(), 0u);  // weight
  EXPECT_EQ(r.Byte(), 0u);  // italic
  EXPECT_EQ(r.Byte(), 1u);  // character set
  EXPECT_EQ(r.SzOrOrdinal(), L"MS Shell Dlg");

  const ExpectedControl controls[] = {
      {1000, L"#128", L"\u9009\u62E9\u5B57\u4F53", 579, 173, 81, 26, 0x50010000},
      {0xFFFFFFFF, L"#130", L"Static", 185, 356, 413, 16, 0x50020020},
      {1002, L"#128", L"\u4FDD\u5B58\u5B57\u4F53", 579, 215, 81, 26, 0x50010000},
      {1004, L"#130", L"Static2", 185, 396, 413, 16, 0x50020000},
      {1003, L"#130", L"Static1", 185, 376, 413, 16, 0x50020000},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.id);
    r.AlignDword();
    EXPECT_EQ(r.Dword(), 0u);  // help id
    EXPECT_EQ(r.Dword(), 0u);  // extended style
    EXPECT_EQ(r.Dword(), c.style);
    EXPECT_EQ(r.Short(), c.x);
    EXPECT_EQ(r.Short(), c.y);
    EXPECT_EQ(r.Short(), c.cx);
    EXPECT_EQ(r.Short(), c.cy);
    EXPECT_EQ(r.Dword(), c.id);
    EXPECT_EQ(r.SzOrOrdinal(), c.windowClass);
    EXPECT_EQ(r.SzOrOrdinal(), c.text);
    EXPECT_EQ(r.Word(), 0u);  // no creation data
  }
  EXPECT_EQ(r.Position(), bytes.size());
}

TEST(GuiResources, BackgroundPictureHeader) {
  const auto bytes = ResourceBytes(MAKEINTRESOURCEW(2) /* RT_BITMAP */, IDB_BACKGROUND, kChineseSimplified);
  ASSERT_EQ(bytes.size(), 2359338u);
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes.data(), sizeof(header));
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 1024);
  EXPECT_EQ(header.biHeight, 768);  // positive: bottom-up rows
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(header.biXPelsPerMeter, 11813);
  EXPECT_EQ(header.biYPelsPerMeter, 11813);
  EXPECT_EQ(header.biClrUsed, 0u);

  // The band under the preview lines (x 278..897, y 582..672 in the
  // picture) is dark and never holds their colour.
  const std::size_t stride = 1024 * 3;
  for (int y = 582; y < 673; ++y) {
    const std::size_t row = 40 + static_cast<std::size_t>(767 - y) * stride;
    for (int x = 278; x < 898; ++x) {
      const std::uint8_t* p = bytes.data() + row + static_cast<std::size_t>(x) * 3;  // blue, green, red
      ASSERT_LT(p[0] + p[1] + p[2], 3 * 60) << x << "," << y;
    }
  }
}

// One entry of an icon group: the sizes and colour depth of one image.
struct IconEntry {
  int width, height, colours, bits;
};

std::vector<IconEntry> IconGroup(int id) {
  const auto bytes = ResourceBytes(MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, id, kChineseSimplified);
  std::vector<IconEntry> entries;
  if (bytes.size() < 6) return entries;
  const int count = bytes[4] | (bytes[5] << 8);
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* e = bytes.data() + 6 + i * 14;
    entries.push_back({e[0] == 0 ? 256 : e[0], e[1] == 0 ? 256 : e[1], e[2], e[6] | (e[7] << 8)});
  }
  return entries;
}

TEST(GuiResources, IconGroups) {
  const auto single = IconGroup(IDI_PROGRAM);
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].width, 48);
  EXPECT_EQ(single[0].height, 48);
  EXPECT_EQ(single[0].bits, 8);

  const auto set = IconGroup(IDI_PROGRAM_SIZES);
  const IconEntry expected[] = {{32, 32, 16, 4}, {16, 16, 16, 4}, {48, 48, 0, 8},  {32, 32, 0, 8},
                                {16, 16, 0, 8},  {48, 48, 0, 32}, {32, 32, 0, 32}, {16, 16, 0, 32}};
  ASSERT_EQ(set.size(), std::size(expected));
  for (std::size_t i = 0; i < set.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(set[i].width, expected[i].width);
    EXPECT_EQ(set[i].height, expected[i].height);
    EXPECT_EQ(set[i].colours, expected[i].colours);
    EXPECT_EQ(set[i].bits, expected[i].bits);
  }
  // The system can build icons from them.
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM_SIZES));
  EXPECT_NE(icon, nullptr);
}

TEST(GuiResources, ManifestAsksForNothingButTheInvokersRights) {
  const auto bytes = ResourceBytes(MAKEINTRESOURCEW(24) /* RT_MANIFEST */, 1, kEnglishUs);
  ASSERT_FALSE(bytes.empty());
  const std::string manifest(bytes.begin(), bytes.end());
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
  EXPECT_EQ(manifest.find("<dependency"), std::string::npos);
  EXPECT_EQ(manifest.find("<compatibility"), std::string::npos);
  EXPECT_EQ(manifest.find("<application"), std::string::npos);
}

}  // namespace
