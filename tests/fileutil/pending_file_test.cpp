#include "fileutil/pending_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/win32.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

std::span<const unsigned char> Bytes(const std::string& text) {
  return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

class PendingFileTest : public ::testing::Test {
 protected:
  std::set<std::string> Names() const { return test::NamesIn(dir.path()); }
  test::ScratchDir dir;
};

// Several outputs made ready, then put in place together: until the commit
// every target is as it was; a file dropped before it leaves nothing.
TEST_F(PendingFileTest, TargetsChangeOnlyWhenCommitted) {
  test::WriteBytes(dir.File("font"), "old font");
  {
    PendingFile font(dir.File("font"));
    PendingFile record(dir.File("record"));
    ASSERT_TRUE(font.Open());
    ASSERT_TRUE(record.Open());
    ASSERT_TRUE(font.Write(Bytes("new font")));
    ASSERT_TRUE(record.Write(Bytes("{}")));
    EXPECT_EQ(test::ReadBytes(dir.File("font")), "old font");
    EXPECT_FALSE(test::Exists(dir.File("record")));
    ASSERT_TRUE(font.Commit());
    EXPECT_TRUE(font.committed());
    EXPECT_EQ(test::ReadBytes(dir.File("font")), "new font");
    // Dropped uncommitted: the record never appears.
  }
  EXPECT_EQ(Names(), std::set<std::string>{"font"});
}

// The checks before any work: a folder that is not there, and a target that
// is a directory, which only the commit can find.
TEST_F(PendingFileTest, APlaceThatTakesNoFileIsFoundAndLeftAsItWas) {
  PendingFile nowhere(dir.File("missing") + "\\out");
  EXPECT_EQ(nowhere.Open().status, AtomicWriteStatus::kWriteFailed);
  EXPECT_EQ(nowhere.Write(Bytes("x")).status, AtomicWriteStatus::kWriteFailed);
  EXPECT_EQ(nowhere.Commit().status, AtomicWriteStatus::kCannotReplace);
  EXPECT_FALSE(test::Exists(dir.File("missing")));

  std::filesystem::create_directory(dir.path() / "folder");
  {
    PendingFile folder(dir.File("folder"));
    ASSERT_TRUE(folder.Open());
    EXPECT_EQ(folder.Commit().status, AtomicWriteStatus::kCannotReplace);
    EXPECT_FALSE(folder.committed());
  }
  EXPECT_EQ(Names(), std::set<std::string>{"folder"});
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "folder"));
}

}  // namespace
}  // namespace qzf
