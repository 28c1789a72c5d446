#include "app/save_font_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/tool_file_path.h"
#include "fileutil/data_resource_bytes.h"
#include "fontpatch/font_file_report.h"
#include "platform/win32.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

struct Box {
  std::string text, caption;
};
std::vector<Box> boxes;
void RecordBox(const char* text, const char* caption) { boxes.push_back({text, caption}); }

const std::string kChooseFirst = "\xC7\xEB\xCF\xC8\xD1\xA1\xD4\xF1\xD7\xD6\xCC\xE5\xA3\xA1";  // 请先选择字体！
const std::string kNotice = "\xCC\xE1\xCA\xBE";                                               // 提示
const std::string kCongratulations = "\xB9\xA7\xCF\xB2";                                      // 恭喜
const std::string kError = "\xB4\xED\xCE\xF3";                                                // 错误

std::string ToolFile(const char* name) {
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  char path[MAX_PATH] = {};
  EXPECT_TRUE(FormToolFilePath(module, name, path, sizeof(path)));
  return path;
}

void Choose(const char* face) {
  std::snprintf(ChosenFaceName, sizeof(ChosenFaceName), "%s", face);
  PassFaceName = ChosenFaceName;
}

class SaveFontCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    boxes.clear();
    SaveFontMessageBox = &RecordBox;
    ChosenFaceName[0] = '\0';
    PassFaceName = nullptr;
    Clean();
  }
  void TearDown() override {
    Clean();
    SaveFontMessageBox = nullptr;
  }
  void Clean() {
    for (const std::string& path : {fontPath, dictionaryPath}) {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
    }
  }
  std::vector<unsigned char> Output() {
    auto bytes = ReadWholeFile(fontPath.c_str());
    return bytes ? *bytes : std::vector<unsigned char>();
  }

  const std::string fontPath = ToolFile("F_FONTJ.qzf");
  const std::string dictionaryPath = ToolFile("DATA1");
};

TEST_F(SaveFontCommandTest, WithoutAChosenFaceOnlyAsks) {
  for (const char* face : {"", "A"}) {
    boxes.clear();
    Choose(face);
    SaveFontCommand();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kChooseFirst);
    EXPECT_EQ(boxes[0].caption, kNotice);
    EXPECT_FALSE(test::Exists(fontPath));
    EXPECT_FALSE(test::Exists(dictionaryPath));
  }
}

TEST_F(SaveFontCommandTest, BuildsNextToTheProgramAndOnlyTheLatestFaceSurvives) {
  // An earlier file of any content, hidden, is replaced; the current
  // directory plays no part.
  test::WriteBytes(fontPath, "an earlier output");
  SetFileAttributesA(fontPath.c_str(), FILE_ATTRIBUTE_HIDDEN);
  test::ScratchDir elsewhere;
  test::CurrentDirectory cwd(elsewhere.path());

  Choose("Noto Sans CJK SC");
  SaveFontCommand();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kCongratulations);
  EXPECT_FALSE(test::IsHidden(fontPath));
  EXPECT_FALSE(test::Exists(dictionaryPath));
  EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));
  EXPECT_EQ(PassSizeMode, 3);
  EXPECT_EQ(PassFontHeight, 64);
  const std::vector<unsigned char> noto = Output();
  const auto stock = DataResourceBytes(130);
  ASSERT_TRUE(stock);
  ASSERT_EQ(noto.size(), stock->size());
  const FontFileDiff diff = DiffFontFiles(*stock, noto);
  for (const auto& changed : diff.changedCells) {
    EXPECT_GT(changed.size(), 4800u);
    EXPECT_LE(changed.size(), 4892u);
  }
  EXPECT_FALSE(diff.headerDiffers || diff.unindexedDiffers || diff.tailDiffers);

  Choose("WenQuanYi Micro Hei");
  SaveFontCommand();
  const std::vector<unsigned char> other = Output();
  EXPECT_NE(other, noto);

  Choose("Noto Sans CJK SC");
  SaveFontCommand();
  EXPECT_TRUE(Output() == noto);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[2].caption, kCongratulations);
}

}  // namespace
}  // namespace qzf
