#include "app/save_font_command.h"

#include <cstring>

#include "app/app_state.h"
#include "app/beside_program_policy.h"
#include "app/show_message_box.h"
#include "app/tool_file_path.h"
#include "fontbuild/font_build.h"
#include "platform/win32.h"

namespace qzf {
namespace {

// "请先选择字体！" / "提示"
constexpr char kChooseFirstText[] = "\xC7\xEB\xCF\xC8\xD1\xA1\xD4\xF1\xD7\xD6\xCC\xE5\xA3\xA1";
constexpr char kChooseFirstCaption[] = "\xCC\xE1\xCA\xBE";
// "个性字体制作成功！\r\n新字体存放在工具的相同目录！" / "恭喜"
constexpr char kSuccessText[] =
    "\xB8\xF6\xD0\xD4\xD7\xD6\xCC\xE5\xD6\xC6\xD7\xF7\xB3\xC9\xB9\xA6\xA3\xA1\r\n\xD0\xC2\xD7\xD6\xCC\xE5\xB4\xE6\xB7"
    "\xC5\xD4\xDA\xB9\xA4\xBE\xDF\xB5\xC4\xCF\xE0\xCD\xAC\xC4\xBF\xC2\xBC\xA3\xA1";
constexpr char kSuccessCaption[] = "\xB9\xA7\xCF\xB2";
// "个性字体制作失败！\r\n详情请查看标准输出。" / "错误"
constexpr char kFailureText[] =
    "\xB8\xF6\xD0\xD4\xD7\xD6\xCC\xE5\xD6\xC6\xD7\xF7\xCA\xA7\xB0\xDC\xA3\xA1\r\n\xCF\xEA\xC7\xE9\xC7\xEB\xB2\xE9\xBF"
    "\xB4\xB1\xEA\xD7\xBC\xCA\xE4\xB3\xF6\xA1\xA3";
constexpr char kFailureCaption[] = "\xB4\xED\xCE\xF3";

constexpr char kFontFileName[] = "F_FONTJ.qzf";
constexpr char kDictionaryFileName[] = "DATA1";

// The passes write their dots and messages to standard output; each pass's
// size goes through the process-wide variables as it starts.
class SaveObserver final : public FontBuildObserver {
 public:
  void PassStarted(std::size_t, const GlyphSizeInfo& size) override {
    PassSizeMode = size.mode;
    PassFontHeight = size.fontHeight;
  }
  void Message(std::string_view gbk) override { stdout_.Message(gbk); }
  void GlyphRendered(std::uint32_t position, std::uint32_t count) override { stdout_.GlyphRendered(position, count); }

 private:
  StdoutPassReporter stdout_;
};

}  // namespace

MessageBoxFn SaveFontMessageBox = &ShowMessageBox;

void SaveFontCommand() {
  if (std::strlen(ChosenFaceName) < 2) {
    SaveFontMessageBox(kChooseFirstText, kChooseFirstCaption);
    return;
  }

  // Both files go next to the executable, whatever the current directory.
  char modulePath[MAX_PATH] = {};
  const DWORD moduleLength = GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
  char fontFilePath[MAX_PATH] = {};
  char dictionaryPath[MAX_PATH] = {};
  if (moduleLength == 0 || moduleLength >= MAX_PATH ||
      !FormToolFilePath(modulePath, kFontFileName, fontFilePath, sizeof(fontFilePath)) ||
      !FormToolFilePath(modulePath, kDictionaryFileName, dictionaryPath, sizeof(dictionaryPath))) {
    SaveFontMessageBox(kFailureText, kFailureCaption);
    return;
  }
  std::memcpy(DictionaryTextPath, dictionaryPath, sizeof(DictionaryTextPath));

  // The stock file and the dictionary are laid down next to the program and
  // the passes rewrite the font file there in place, each pass running
  // whatever the one before it did; the dictionary copy goes at the end.
  FontBuildRequest request;
  request.faceName = PassFaceName;
  request.outputPath = fontFilePath;
  request.policy = BesideProgramPolicy(DictionaryTextPath);
  SaveObserver observer;
  const bool succeeded = BuildFont(request, observer).status == FontBuildStatus::kOk;

  if (succeeded) {
    SaveFontMessageBox(kSuccessText, kSuccessCaption);
  } else {
    SaveFontMessageBox(kFailureText, kFailureCaption);
  }
}

}  // namespace qzf
