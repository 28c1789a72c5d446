#include "fileutil/ensure_directory_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

namespace fs = std::filesystem;

class EnsureDirectoryPathTest : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  test::CurrentDirectory cwd{dir.path()};
};

TEST_F(EnsureDirectoryPathTest, CreatesMissingLevelsOfARelativePath) {
  EXPECT_NE(EnsureDirectoryPath("out/sub/c.txt"), 0);
  EXPECT_TRUE(fs::is_directory(dir.path() / "out" / "sub"));
  EXPECT_FALSE(fs::exists(dir.path() / "out" / "sub" / "c.txt"));
}

TEST_F(EnsureDirectoryPathTest, AOneByteFirstComponentIsNeverCreatedByTheWalk) {
  EXPECT_EQ(EnsureDirectoryPath("a/b/c.txt"), 0);
  EXPECT_FALSE(fs::exists(dir.path() / "a"));
}

TEST_F(EnsureDirectoryPathTest, FirstAttemptSuccessGivesOne) {
  EXPECT_EQ(EnsureDirectoryPath("newdir\\file.bin"), 1);
  EXPECT_TRUE(fs::is_directory(dir.path() / "newdir"));
}

TEST_F(EnsureDirectoryPathTest, AnExistingDirectoryGivesZeroAndChangesNothing) {
  fs::create_directory(dir.path() / "have");
  EXPECT_EQ(EnsureDirectoryPath("have/file.txt"), 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST_F(EnsureDirectoryPathTest, AbsolutePathsWork) {
  const std::string path = (dir.path() / "x1" / "y2" / "z3" / "f.qzf").string();
  EXPECT_NE(EnsureDirectoryPath(path.c_str()), 0);
  EXPECT_TRUE(fs::is_directory(dir.path() / "x1" / "y2" / "z3"));
}

TEST_F(EnsureDirectoryPathTest, BadInputCallsNothing) {
  EXPECT_EQ(EnsureDirectoryPath(nullptr), 0);
  EXPECT_EQ(EnsureDirectoryPath(""), 0);
  EXPECT_EQ(EnsureDirectoryPath("a"), 0);
  EXPECT_EQ(EnsureDirectoryPath("file.txt"), 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 0);
}

TEST_F(EnsureDirectoryPathTest, PathsOf260BytesOrMoreAreRefused) {
  std::string path = "long/";
  path += std::string(300 - path.size() - 6, 'x');
  path += "/f.txt";
  EXPECT_EQ(EnsureDirectoryPath(path.c_str()), 0);
  std::string exact(259, 'y');
  exact[2] = '/';
  EXPECT_NE(EnsureDirectoryPath(exact.substr(0, 10).c_str()), 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  exact.push_back('z');  // 260 bytes
  EXPECT_EQ(EnsureDirectoryPath(exact.c_str()), 0);
}

}  // namespace
}  // namespace qzf
