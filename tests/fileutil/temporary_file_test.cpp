#include "fileutil/temporary_file.h"

#include <gtest/gtest.h>

#include <string>

#include "fileutil/interrupt_removal.h"
#include "fileutil/path_separators.h"
#include "fileutil/stale_temporary_files.h"
#include "platform/win32.h"
#include "tests/support/file_bytes.h"
#include "tests/support/other_process.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

class TemporaryFileTest : public ::testing::Test {
 protected:
  test::ScratchDir dir;
};

TEST_F(TemporaryFileTest, GoesAtScopeEndUnlessItTookItsTargetsPlace) {
  const std::string target = dir.File("out.qzf");
  test::WriteBytes(target, "old");
  {
    TemporaryFile dropped(TemporaryPathBeside(target, "font"));
    test::WriteBytes(dropped.path(), "dropped");
    SetFileAttributesA(dropped.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(dropped.path(), target + ".font-" + std::to_string(CurrentProcessId()) + ".tmp");
  }
  EXPECT_FALSE(test::Exists(TemporaryPathBeside(target, "font")));
  EXPECT_EQ(test::ReadBytes(target), "old");
  {
    TemporaryFile kept(TemporaryPathBeside(target, "font"));
    test::WriteBytes(kept.path(), "new");
    SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(kept.ReplaceTarget(target, false));  // there is a target
    ASSERT_TRUE(kept.ReplaceTarget(target));
  }
  EXPECT_EQ(test::ReadBytes(target), "new");
  EXPECT_FALSE(test::IsHidden(target));
  EXPECT_FALSE(test::Exists(TemporaryPathBeside(target, "font")));
}

#ifndef _WIN32
// What a signal handler does: every temporary file still owned goes; one that
// took its target's place, and the target, stay. (On Windows the same call
// ends registration for good; the command-line test interrupts a build.)
TEST_F(TemporaryFileTest, AnInterruptRemovesTheOwnedFilesOnly) {
  const std::string target = dir.File("out.qzf");
  TemporaryFile font(TemporaryPathBeside(target, "font"));
  TemporaryFile dictionary(TemporaryPathBeside(target, "dict"));
  TemporaryFile done(TemporaryPathBeside(target, "part"));
  for (const TemporaryFile* file : {&font, &dictionary, &done}) test::WriteBytes(file->path(), "x");
  ASSERT_TRUE(done.ReplaceTarget(target));
  RemoveFilesOnInterrupt();
  EXPECT_FALSE(test::Exists(font.path()));
  EXPECT_FALSE(test::Exists(dictionary.path()));
  EXPECT_TRUE(test::Exists(target));
}
#endif

// Only TARGET.WHAT-PID.tmp files of processes that have ended go; the
// target's directory is found with either separator.
TEST_F(TemporaryFileTest, StaleFilesOfEndedProcessesAreRemoved) {
  const test::RunningProcess running;
  const std::string ended = std::to_string(test::EndedProcessId());
  const std::string own = std::to_string(CurrentProcessId());
  struct Name {
    std::string name;
    bool stale;
  };
  const Name names[] = {
      {"out.qzf.font-" + ended + ".tmp", true},
      {"out.qzf.font-" + std::to_string(running.id()) + ".tmp", false},
      {"out.qzf.font-" + own + ".tmp", false},
      {"out.qzf.dict-" + ended + ".tmp", false},  // another kind
      {"other.qzf.font-" + ended + ".tmp", false},
      {"out.qzf.font-" + ended + "x.tmp", false},
      {"out.qzf.font-.tmp", false},
      {"xout.qzf.font-" + ended + ".tmp", false},
  };
  std::string withSlashes = dir.File("out.qzf");
  for (char& c : withSlashes) {
    if (c == '\\') c = '/';
  }
  for (const std::string& target : {dir.File("out.qzf"), withSlashes}) {
    for (const Name& n : names) {
      test::WriteBytes(dir.File(n.name), "x");
      SetFileAttributesA(dir.File(n.name).c_str(), FILE_ATTRIBUTE_HIDDEN);
    }
    EXPECT_EQ(RemoveStaleTemporaryFiles(target, "font"), 1u) << target;
    for (const Name& n : names) EXPECT_EQ(test::Exists(dir.File(n.name)), !n.stale) << n.name;
  }
  // A bare name looks in the current directory.
  test::CurrentDirectory cd(dir.path());
  test::WriteBytes(dir.File(names[0].name), "x");
  EXPECT_EQ(RemoveStaleTemporaryFiles("out.qzf", "font"), 1u);
}

TEST(PathSeparatorsTest, EitherSeparatorSplitsButNotTheSecondByteOfACharacter) {
  struct Case {
    std::string path, directory, name;
  };
  const Case cases[] = {
      {"C:\\a/b\\out.qzf", "C:\\a/b\\", "out.qzf"},
      {"Z:/tmp/x/out.qzf", "Z:/tmp/x/", "out.qzf"},
      {"out.qzf", "", "out.qzf"},
      {"dir/", "dir/", ""},
      // "\x95\x5C" is one character whose second byte is a backslash.
      {"a\\\x95\x5C.qzf", "a\\", "\x95\x5C.qzf"},
      {"\x95\x5C", "", "\x95\x5C"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DirectoryPart(c.path), c.directory) << c.path;
    EXPECT_EQ(NamePart(c.path), c.name) << c.path;
  }
}

}  // namespace
}  // namespace qzf
