#include "fileutil/extract_data_resource.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

using namespace std::string_literals;

class ExtractDataResourceTest : public ::testing::Test {
 protected:
  test::ScratchDir dir;
};

TEST_F(ExtractDataResourceTest, WritesTheWholeBlockHidden) {
  const std::string path = dir.File("out.bin");
  EXPECT_EQ(ExtractDataResource(MAKEINTRESOURCEA(7), path.c_str()), 1);
  EXPECT_EQ(test::ReadBytes(path),
            "seven\r\nblock\xFF"
            "bytes"s);
  EXPECT_TRUE(test::IsHidden(path));
}

TEST_F(ExtractDataResourceTest, AnEmptyBlockGivesAnEmptyFile) {
  const std::string path = dir.File("empty.bin");
  EXPECT_EQ(ExtractDataResource(MAKEINTRESOURCEA(8), path.c_str()), 1);
  EXPECT_EQ(test::ReadBytes(path), "");
}

TEST_F(ExtractDataResourceTest, AMissingBlockLeavesAnExistingFileUntouched) {
  const std::string path = dir.File("keep.bin");
  test::WriteBytes(path, "mine");
  EXPECT_EQ(ExtractDataResource(MAKEINTRESOURCEA(9), path.c_str()), 0);
  EXPECT_EQ(test::ReadBytes(path), "mine");
  EXPECT_FALSE(test::IsHidden(path));
}

TEST_F(ExtractDataResourceTest, ReplacesVisibleAndHiddenFiles) {
  const std::string path = dir.File("again.bin");
  test::WriteBytes(path, "a much longer earlier content than the block");
  EXPECT_EQ(ExtractDataResource(MAKEINTRESOURCEA(7), path.c_str()), 1);
  EXPECT_EQ(test::ReadBytes(path),
            "seven\r\nblock\xFF"
            "bytes"s);
  EXPECT_TRUE(test::IsHidden(path));
  EXPECT_EQ(ExtractDataResource(MAKEINTRESOURCEA(8), path.c_str()), 1);
  EXPECT_EQ(test::ReadBytes(path), "");
  EXPECT_TRUE(test::IsHidden(path));
}

TEST_F(ExtractDataResourceTest, AFileThatCannotBeCreatedIsAFailure) {
  const std::string path = dir.File("no-such-dir/out.bin");
  EXPECT_EQ(ExtractDataResource(MAKEINTRESOURCEA(7), path.c_str()), 0);
  EXPECT_EQ(ExtractDataResource(MAKEINTRESOURCEA(7), dir.path().string().c_str()), 0);
}

}  // namespace
}  // namespace qzf
