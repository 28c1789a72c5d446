// Built with a data block 130 that is no game font file: every pass refuses it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/save_font_command.h"
#include "app/tool_file_path.h"
#include "platform/win32.h"
#include "tests/support/file_bytes.h"

namespace qzf {
namespace {

std::vector<std::string> captions;
void RecordBox(const char*, const char* caption) { captions.push_back(caption); }

TEST(SaveFontRefusalTest, PassesThatRefuseTheFileEndInTheFailureBox) {
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  char fontPath[MAX_PATH] = {};
  char dictionaryPath[MAX_PATH] = {};
  ASSERT_TRUE(FormToolFilePath(module, "F_FONTJ.qzf", fontPath, sizeof(fontPath)));
  ASSERT_TRUE(FormToolFilePath(module, "DATA1", dictionaryPath, sizeof(dictionaryPath)));
  SaveFontMessageBox = &RecordBox;
  std::snprintf(ChosenFaceName, sizeof(ChosenFaceName), "%s", "Noto Sans CJK SC");
  PassFaceName = ChosenFaceName;
  SaveFontCommand();
  ASSERT_EQ(captions.size(), 1u);
  EXPECT_EQ(captions[0], "\xB4\xED\xCE\xF3");  // 错误
  EXPECT_FALSE(test::Exists(dictionaryPath));
  SetFileAttributesA(fontPath, FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(fontPath);
}

}  // namespace
}  // namespace qzf
