#include "fileutil/atomic_file_write.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "fileutil/file_range.h"
#include "fileutil/temporary_file.h"
#include "platform/win32.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

class AtomicFileWriteTest : public ::testing::Test {
 protected:
  std::set<std::string> Names() const { return test::NamesIn(dir.path()); }
  test::ScratchDir dir;
  std::string target = dir.File("target.txt");
};

// Appends text to the file, as the dictionary saver does.
bool Append(const char* path, const char* text) {
  WriteFileRangeArgs args;
  args.path = path;
  args.data = text;
  args.offset = kAppendOffset;
  args.creationDisposition = OPEN_ALWAYS;
  return WriteFileRange(args) == std::string(text).size();
}

// Whatever the mode, a write that stops part-way (a full disk) leaves the
// target as it was, present or not, and nothing beside it.
TEST_F(AtomicFileWriteTest, AFailedWriteLeavesTheTargetAsItWasAndNoOtherFile) {
  for (const AtomicWriteMode mode :
       {AtomicWriteMode::kNewFile, AtomicWriteMode::kReplace, AtomicWriteMode::kAppendToCopy}) {
    for (const std::optional<std::string>& before : {std::optional<std::string>(), std::optional<std::string>("old")}) {
      DeleteFileA(target.c_str());
      if (before) test::WriteBytes(target, *before);
      const AtomicWriteResult result = WriteFileAtomically(target, mode, [](const char* path) {
        Append(path, "part of it");
        return false;
      });
      EXPECT_EQ(result.status, AtomicWriteStatus::kWriteFailed);
      EXPECT_EQ(test::Exists(target), before.has_value());
      if (before) {
        EXPECT_EQ(test::ReadBytes(target), *before);
      }
      EXPECT_EQ(Names(), before ? std::set<std::string>{"target.txt"} : std::set<std::string>{});
    }
  }
}

TEST_F(AtomicFileWriteTest, EachModeGivesTheWholeContentAsAVisibleFile) {
  struct Case {
    AtomicWriteMode mode;
    std::optional<std::string> before;
    AtomicWriteStatus status;
    std::string after;
  };
  const Case cases[] = {
      {AtomicWriteMode::kNewFile, std::nullopt, AtomicWriteStatus::kOk, "new"},
      {AtomicWriteMode::kNewFile, "old", AtomicWriteStatus::kCannotReplace, "old"},
      {AtomicWriteMode::kReplace, "old", AtomicWriteStatus::kOk, "new"},
      {AtomicWriteMode::kReplace, std::nullopt, AtomicWriteStatus::kOk, "new"},
      {AtomicWriteMode::kAppendToCopy, "old", AtomicWriteStatus::kOk, "oldnew"},
      {AtomicWriteMode::kAppendToCopy, "", AtomicWriteStatus::kOk, "new"},
      {AtomicWriteMode::kAppendToCopy, std::nullopt, AtomicWriteStatus::kOk, "new"},
  };
  for (const Case& c : cases) {
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(target.c_str());
    if (c.before) test::WriteBytes(target, *c.before);
    // A leftover of an earlier process with this id is not appended to.
    test::WriteBytes(target + ".part-" + std::to_string(CurrentProcessId()) + ".tmp", "stale");
    // The content is written hidden, as a data block copy is.
    const AtomicWriteResult result = WriteFileAtomically(target, c.mode, [](const char* path) {
      return Append(path, "new") && SetFileAttributesA(path, FILE_ATTRIBUTE_HIDDEN);
    });
    EXPECT_EQ(result.status, c.status) << static_cast<int>(c.mode) << " " << c.before.value_or("(none)");
    EXPECT_EQ(test::ReadBytes(target), c.after);
    EXPECT_FALSE(test::IsHidden(target));
    EXPECT_EQ(Names(), std::set<std::string>{"target.txt"});
  }
}

// The byte form: the whole content, an empty one included, and no file
// beside the target whatever became of it.
TEST_F(AtomicFileWriteTest, BytesBecomeTheWholeContentOrNothingChanges) {
  struct Case {
    const char* name;
    std::optional<std::string> before;
    std::string content;
    AtomicWriteMode mode;
    AtomicWriteStatus status;
    std::string after;
  };
  const std::string large(3 << 20, 'x');
  const Case cases[] = {
      {"longer over shorter", "a much longer old content", "new", AtomicWriteMode::kReplace, AtomicWriteStatus::kOk,
       "new"},
      {"empty over old", "old", "", AtomicWriteMode::kReplace, AtomicWriteStatus::kOk, ""},
      {"empty as a new file", std::nullopt, "", AtomicWriteMode::kNewFile, AtomicWriteStatus::kOk, ""},
      {"several megabytes", "old", large, AtomicWriteMode::kReplace, AtomicWriteStatus::kOk, large},
      {"no new file over an old one", "old", "new", AtomicWriteMode::kNewFile, AtomicWriteStatus::kCannotReplace,
       "old"},
      {"binary with NUL bytes", std::nullopt, std::string("a\0b\0", 4), AtomicWriteMode::kReplace,
       AtomicWriteStatus::kOk, std::string("a\0b\0", 4)},
  };
  for (const Case& c : cases) {
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(target.c_str());
    if (c.before) test::WriteBytes(target, *c.before);
    EXPECT_EQ(WriteBytesAtomically(target, c.content, c.mode).status, c.status) << c.name;
    EXPECT_TRUE(test::Exists(target)) << c.name;
    EXPECT_EQ(test::ReadBytes(target), c.after) << c.name;
    EXPECT_EQ(Names(), std::set<std::string>{"target.txt"}) << c.name;
  }
  // A target in a folder that is not there: refused, and no folder made.
  const std::string nowhere = dir.File("missing") + "\\target.txt";
  EXPECT_EQ(WriteBytesAtomically(nowhere, std::string("new")).status, AtomicWriteStatus::kWriteFailed);
  EXPECT_FALSE(test::Exists(dir.File("missing")));
}

}  // namespace
}  // namespace qzf
