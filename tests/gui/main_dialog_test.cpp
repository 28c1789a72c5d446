// The main window's procedure inside a real dialog made from the program's
// template. Needs a display: the window test runs it on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/apply_preview_font.h"
#include "app/choose_preview_font.h"
#include "app/main_dialog.h"
#include "platform/win32.h"
#include "resources/resource_ids.h"

namespace {

const wchar_t kSongti[] = L"\u5B8B\u4F53";

class MainDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    dialog_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr,
                                 qzf::MainDialogProc, 0);
    ASSERT_NE(dialog_, nullptr);
  }
  void TearDown() override {
    if (dialog_ != nullptr) DestroyWindow(dialog_);
    DrainQuit();
  }

  HWND Item(int id) const { return GetDlgItem(dialog_, id); }

  std::wstring Text(int id) const {
    wchar_t buffer[256] = {};
    GetDlgItemTextW(dialog_, id, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
  }

  LOGFONTW FontOf(int id) const {
    LOGFONTW font = {};
    auto handle = reinterpret_cast<HFONT>(SendMessageW(Item(id), WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof(font), &font);
    return font;
  }

  // The exit code of a pending quit message, or -1 when there is none.
  static int DrainQuit() {
    MSG message;
    int code = -1;
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) code = static_cast<int>(message.wParam);
    return code;
  }

  HWND dialog_ = nullptr;
};

constexpr int kPreviewLines[] = {IDC_PREVIEW_LINE1, IDC_PREVIEW_LINE2, IDC_PREVIEW_LINE3};

TEST_F(MainDialogTest, StartsHiddenAtItsPlaceWithPreviewTextsAndFocus) {
  EXPECT_FALSE(IsWindowVisible(dialog_));
  RECT frame;
  GetWindowRect(dialog_, &frame);
  EXPECT_EQ(frame.left, 200);
  EXPECT_EQ(frame.top, 10);
  EXPECT_EQ(Text(IDC_PREVIEW_LINE1),
            L"\u53E4\u4ECA\u82F1\u96C4\u73B0\u5728\u7A7F\u8D8A\u65F6\u7A7A\u6C47\u805A\u4E00"
            L"\u5802\u3002");
  EXPECT_EQ(Text(IDC_PREVIEW_LINE2), L"\u4E3A\u593A\u53D6\u5929\u4E0B\u7684\u65B0\u6218\u4E89\uFF0C");
  EXPECT_EQ(Text(IDC_PREVIEW_LINE3), L"\u5DF2\u7ECF\u62C9\u5F00\u4E86\u5E37\u5E55\u2026\u2026");
  EXPECT_EQ(Text(IDC_CHOOSE_FONT), L"\u9009\u62E9\u5B57\u4F53");
  EXPECT_EQ(GetFocus(), Item(IDC_CHOOSE_FONT));
}

// Where each control stands in the picture's pixels: the template's 682 x 470
// dialog units stretched over the 1024 x 768 picture.
struct PlaceInPicture {
  int id;
  RECT rect;
};
constexpr PlaceInPicture kPlacesInPicture[] = {
    {IDC_CHOOSE_FONT, {869, 283, 991, 325}},   {IDC_SAVE_FONT, {869, 351, 991, 393}},
    {IDC_PREVIEW_LINE1, {278, 582, 898, 608}}, {IDC_PREVIEW_LINE2, {278, 614, 898, 640}},
    {IDC_PREVIEW_LINE3, {278, 647, 898, 673}},
};

// The program's template with another dialog font size, which gives other
// dialog units, as another font or another system would.
std::vector<std::uint8_t> TemplateWithFontSize(WORD points) {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, found)));
  std::vector<std::uint8_t> bytes(data, data + SizeofResource(nullptr, found));
  // The size is the first field of the font, six bytes before its face.
  const wchar_t face[] = L"MS Shell Dlg";
  const auto* faceBytes = reinterpret_cast<const std::uint8_t*>(face);
  const auto at = std::search(bytes.begin(), bytes.end(), faceBytes, faceBytes + sizeof(face));
  if (at == bytes.end()) return {};
  std::memcpy(&*(at - 6), &points, sizeof(points));
  return bytes;
}

// The fixture's own dialog uses the template as it is; these are more.
TEST_F(MainDialogTest, ClientAreaIsThePictureAndControlsStandOnItWhateverTheDialogFont) {
  for (const WORD points : {6, 8, 12, 20}) {
    SCOPED_TRACE(points);
    const std::vector<std::uint8_t> bytes = TemplateWithFontSize(points);
    ASSERT_FALSE(bytes.empty());
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                                             nullptr, qzf::MainDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 1024);
    EXPECT_EQ(client.bottom, 768);
    for (const auto& place : kPlacesInPicture) {
      SCOPED_TRACE(place.id);
      RECT r;
      GetWindowRect(GetDlgItem(dialog, place.id), &r);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
      EXPECT_EQ(r.left, place.rect.left);
      EXPECT_EQ(r.top, place.rect.top);
      EXPECT_EQ(r.right, place.rect.right);
      EXPECT_EQ(r.bottom, place.rect.bottom);
    }
    RECT frame;
    GetWindowRect(dialog, &frame);
    EXPECT_EQ(frame.left, 200);
    EXPECT_EQ(frame.top, 10);
    DestroyWindow(dialog);
  }
}

TEST_F(MainDialogTest, PreviewStartsInSongtiAtHeight24Weight100Antialiased) {
  const auto first = SendMessageW(Item(IDC_PREVIEW_LINE1), WM_GETFONT, 0, 0);
  for (const int id : kPreviewLines) {
    SCOPED_TRACE(id);
    EXPECT_EQ(SendMessageW(Item(id), WM_GETFONT, 0, 0), first);  // one font for all three
    const LOGFONTW font = FontOf(id);
    EXPECT_STREQ(font.lfFaceName, kSongti);
    EXPECT_EQ(font.lfHeight, 24);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfWeight, 100);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_EQ(font.lfUnderline, 0);
    EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(font.lfQuality, ANTIALIASED_QUALITY);
  }
  // The buttons keep the dialog's own font.
  EXPECT_NE(SendMessageW(Item(IDC_CHOOSE_FONT), WM_GETFONT, 0, 0), first);
}

TEST_F(MainDialogTest, PreviewLinesAreBeigeOnNothing) {
  HDC dc = CreateCompatibleDC(nullptr);
  for (const int id : kPreviewLines) {
    SCOPED_TRACE(id);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, OPAQUE);
    const INT_PTR brush = qzf::MainDialogProc(dialog_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                              reinterpret_cast<LPARAM>(Item(id)));
    EXPECT_EQ(brush, reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(GetTextColor(dc), RGB(238, 222, 206));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  }
  // Any other control keeps the default colours.
  SetTextColor(dc, RGB(1, 2, 3));
  EXPECT_EQ(qzf::MainDialogProc(dialog_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                reinterpret_cast<LPARAM>(Item(IDC_SAVE_FONT))),
            0);
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
  DeleteDC(dc);
}

TEST_F(MainDialogTest, OkCancelAndDestroyPostQuitWithZero) {
  EXPECT_EQ(DrainQuit(), -1);
  EXPECT_EQ(qzf::MainDialogProc(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0), TRUE);
  EXPECT_EQ(DrainQuit(), 0);
  // Only the low word counts: any notification code.
  EXPECT_EQ(qzf::MainDialogProc(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0x1234), 0), TRUE);
  EXPECT_EQ(DrainQuit(), 0);
  EXPECT_EQ(qzf::MainDialogProc(dialog_, WM_DESTROY, 0, 0), FALSE);
  EXPECT_EQ(DrainQuit(), 0);
  // Other commands and messages do not quit.
  EXPECT_EQ(qzf::MainDialogProc(dialog_, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0), FALSE);
  EXPECT_EQ(qzf::MainDialogProc(dialog_, WM_ERASEBKGND, 0, 0), TRUE);
  EXPECT_EQ(DrainQuit(), -1);
}

TEST_F(MainDialogTest, ApplyPreviewFontReachesTheThreeLinesOnly) {
  HFONT font = CreateFontW(30, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  const auto buttonFont = SendMessageW(Item(IDC_SAVE_FONT), WM_GETFONT, 0, 0);
  qzf::ApplyPreviewFont(dialog_, font);
  for (const int id : kPreviewLines) {
    EXPECT_EQ(SendMessageW(Item(id), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font)) << id;
  }
  EXPECT_EQ(SendMessageW(Item(IDC_SAVE_FONT), WM_GETFONT, 0, 0), buttonFont);
  DestroyWindow(dialog_);
  dialog_ = nullptr;
  DeleteObject(font);
}

TEST(LogFontGbk, FaceNameConvertsBothWaysAndFieldsStay) {
  LOGFONTW wide = {};
  wide.lfHeight = -37;
  wide.lfWeight = FW_BOLD;
  wide.lfItalic = TRUE;
  wide.lfUnderline = TRUE;
  wide.lfCharSet = GB2312_CHARSET;
  wcscpy(wide.lfFaceName, kSongti);
  const LOGFONTA gbk = qzf::LogFontToGbk(wide);
  EXPECT_STREQ(gbk.lfFaceName, "\xCB\xCE\xCC\xE5");
  EXPECT_EQ(gbk.lfHeight, -37);
  EXPECT_EQ(gbk.lfWeight, FW_BOLD);
  EXPECT_EQ(gbk.lfItalic, TRUE);
  EXPECT_EQ(gbk.lfUnderline, TRUE);
  EXPECT_EQ(gbk.lfCharSet, GB2312_CHARSET);
  const LOGFONTW back = qzf::LogFontToWide(gbk);
  EXPECT_STREQ(back.lfFaceName, kSongti);
  EXPECT_EQ(back.lfHeight, -37);
  EXPECT_EQ(back.lfCharSet, GB2312_CHARSET);
}

TEST(LogFontGbk, LongChineseNameIsCutOnACharacterBoundary) {
  // 20 Chinese characters are 40 GBK bytes; 31 fit, so 15 characters remain.
  LOGFONTW wide = {};
  for (int i = 0; i < 20; ++i) wide.lfFaceName[i] = L'\u5B57';
  const LOGFONTA gbk = qzf::LogFontToGbk(wide);
  EXPECT_EQ(std::string(gbk.lfFaceName).size(), 30u);
  EXPECT_EQ(qzf::LogFontToWide(gbk).lfFaceName, std::wstring(15, L'\u5B57'));
}

}  // namespace
