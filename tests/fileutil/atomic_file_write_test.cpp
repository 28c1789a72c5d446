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
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      names.insert(entry.path().filename().string());
    return names;
  }
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

}  // namespace
}  // namespace qzf
