#include "fileutil/file_range.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

using test::ReadBytes;
using test::WriteBytes;

// The operation slots take plain functions, so the journal is global.
std::vector<std::string> journal;

HANDLE WINAPI LogCreate(LPCSTR p, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD d, DWORD f, HANDLE t) {
  journal.push_back("open");
  return CreateFileA(p, a, s, sa, d, f, t);
}
BOOL WINAPI LogRead(HANDLE h, LPVOID b, DWORD n, LPDWORD r, LPOVERLAPPED o) {
  journal.push_back("read");
  return ReadFile(h, b, n, r, o);
}
BOOL WINAPI LogWrite(HANDLE h, LPCVOID b, DWORD n, LPDWORD w, LPOVERLAPPED o) {
  journal.push_back("write");
  return WriteFile(h, b, n, w, o);
}
DWORD WINAPI LogSize(HANDLE h, LPDWORD high) {
  journal.push_back("size");
  return GetFileSize(h, high);
}
DWORD WINAPI LogSeek(HANDLE h, LONG d, PLONG high, DWORD m) {
  journal.push_back(m == FILE_END ? "seek-end" : "seek");
  return SetFilePointer(h, d, high, m);
}
BOOL WINAPI LogClose(HANDLE h) {
  journal.push_back("close");
  return CloseHandle(h);
}
BOOL WINAPI LogAttributes(LPCSTR p, DWORD a) {
  journal.push_back("attributes");
  return SetFileAttributesA(p, a);
}
BOOL WINAPI FailingRead(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) { return FALSE; }
BOOL WINAPI ThrowingWrite(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) { throw std::runtime_error("boom"); }
// As Wine writes to a full disk: success, with fewer bytes than asked and no
// error of its own (the open before it left ERROR_ALREADY_EXISTS).
BOOL WINAPI ShortWrite(HANDLE, LPCVOID, DWORD n, LPDWORD w, LPOVERLAPPED) {
  *w = n / 2;
  return TRUE;
}

class FileRangeTest : public ::testing::Test {
 protected:
  void SetUp() override { journal.clear(); }
  test::ScratchDir dir;
};

std::uint32_t ReadInto(const std::string& path, std::string& buffer, std::uint64_t offset) {
  ReadFileRangeArgs args;
  args.path = path.c_str();
  args.buffer = buffer.data();
  args.offset = offset;
  args.size = buffer.size();
  return ReadFileRange(args);
}

std::uint32_t Write(const std::string& path, const char* data, std::uint64_t size, std::uint64_t offset,
                    std::uint32_t disposition) {
  WriteFileRangeArgs args;
  args.path = path.c_str();
  args.data = data;
  args.size = size;
  args.offset = offset;
  args.creationDisposition = disposition;
  return WriteFileRange(args);
}

TEST_F(FileRangeTest, ReadGoesOpenSizeSeekReadCloseThroughTheSlots) {
  const std::string path = dir.File("f.bin");
  WriteBytes(path, "0123456789");
  std::string buffer(4, '\0');
  ReadFileRangeArgs args;
  args.path = path.c_str();
  args.buffer = buffer.data();
  args.offset = 3;
  args.size = 4;
  args.createFileFn = &LogCreate;
  args.readFileFn = &LogRead;
  args.getFileSizeFn = &LogSize;
  args.setFilePointerFn = &LogSeek;
  args.closeHandleFn = &LogClose;
  EXPECT_EQ(ReadFileRange(args), 4u);
  EXPECT_EQ(buffer, "3456");
  EXPECT_EQ(journal, (std::vector<std::string>{"open", "size", "seek", "read", "close"}));

  journal.clear();
  args.buffer = nullptr;
  EXPECT_EQ(ReadFileRange(args), 10u);
  EXPECT_EQ(journal, (std::vector<std::string>{"open", "size", "seek", "close"}));
}

TEST_F(FileRangeTest, WriteGoesAttributesOpenSeekWriteCloseThroughTheSlots) {
  const std::string path = dir.File("w.bin");
  WriteFileRangeArgs args;
  args.path = path.c_str();
  args.data = "abc";
  args.creationDisposition = CREATE_ALWAYS;
  args.createFileFn = &LogCreate;
  args.writeFileFn = &LogWrite;
  args.setFileAttributesFn = &LogAttributes;
  args.setFilePointerFn = &LogSeek;
  args.closeHandleFn = &LogClose;
  EXPECT_EQ(WriteFileRange(args), 3u);
  EXPECT_EQ(journal, (std::vector<std::string>{"attributes", "open", "seek", "write", "close"}));
  journal.clear();
  args.offset = kAppendOffset;
  args.creationDisposition = OPEN_ALWAYS;
  EXPECT_EQ(WriteFileRange(args), 3u);
  EXPECT_EQ(journal, (std::vector<std::string>{"attributes", "open", "seek-end", "write", "close"}));
  EXPECT_EQ(ReadBytes(path), "abcabc");
}

TEST_F(FileRangeTest, NullPathOrDataCallsNothing) {
  ReadFileRangeArgs read;
  read.createFileFn = &LogCreate;
  EXPECT_EQ(ReadFileRange(read), kFileRangeFailed);
  WriteFileRangeArgs write;
  write.data = "x";
  write.setFileAttributesFn = &LogAttributes;
  write.createFileFn = &LogCreate;
  EXPECT_EQ(WriteFileRange(write), kFileRangeFailed);
  const std::string path = dir.File("x");
  write.path = path.c_str();
  write.data = nullptr;
  EXPECT_EQ(WriteFileRange(write), kFileRangeFailed);
  EXPECT_TRUE(journal.empty());
}

TEST_F(FileRangeTest, SizeOfEmptyAndMissingFiles) {
  const std::string empty = dir.File("empty");
  WriteBytes(empty, "");
  ReadFileRangeArgs args;
  args.path = empty.c_str();
  EXPECT_EQ(ReadFileRange(args), 0u);
  const std::string missing = dir.File("missing");
  args.path = missing.c_str();
  EXPECT_EQ(ReadFileRange(args), kFileRangeFailed);
}

TEST_F(FileRangeTest, ShortReadsAndReadsPastTheEnd) {
  const std::string path = dir.File("f.bin");
  WriteBytes(path, "0123456789");
  std::string buffer(8, '.');
  EXPECT_EQ(ReadInto(path, buffer, 6), 4u);
  EXPECT_EQ(buffer, "6789....");
  EXPECT_EQ(ReadInto(path, buffer, 10), 0u);
  EXPECT_EQ(ReadInto(path, buffer, 1000), 0u);
}

TEST_F(FileRangeTest, AFailingReadClosesAndFails) {
  const std::string path = dir.File("f.bin");
  WriteBytes(path, "0123");
  char buffer[4];
  ReadFileRangeArgs args;
  args.path = path.c_str();
  args.buffer = buffer;
  args.size = 4;
  args.readFileFn = &FailingRead;
  args.closeHandleFn = &LogClose;
  EXPECT_EQ(ReadFileRange(args), kFileRangeFailed);
  EXPECT_EQ(journal, std::vector<std::string>{"close"});
}

TEST_F(FileRangeTest, AnExceptionInASlotBecomesFailure) {
  const std::string path = dir.File("f.bin");
  WriteFileRangeArgs args;
  args.path = path.c_str();
  args.data = "abc";
  args.creationDisposition = CREATE_ALWAYS;
  args.writeFileFn = &ThrowingWrite;
  EXPECT_EQ(WriteFileRange(args), kFileRangeFailed);
}

// The count tells the caller the write came back short; the last error says
// why, so that the message can name a full disk.
TEST_F(FileRangeTest, AShortWriteLeavesADiskFullError) {
  const std::string path = dir.File("f.bin");
  test::WriteBytes(path, "old");
  WriteFileRangeArgs args;
  args.path = path.c_str();
  args.data = "abcd";
  args.offset = kAppendOffset;
  args.creationDisposition = OPEN_ALWAYS;
  args.writeFileFn = &ShortWrite;
  SetLastError(ERROR_ALREADY_EXISTS);
  EXPECT_EQ(WriteFileRange(args), 2u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
}

TEST_F(FileRangeTest, CreateAlwaysReplacesAHiddenFileAndLeavesItVisible) {
  const std::string path = dir.File("hidden.bin");
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  ASSERT_TRUE(test::IsHidden(path));
  EXPECT_EQ(Write(path, "new", 3, 0, CREATE_ALWAYS), 3u);
  EXPECT_FALSE(test::IsHidden(path));
  EXPECT_EQ(ReadBytes(path), "new");
}

// What a replaced file holds, seen through its handle and after it closes:
// only what was written, zeros where a write skipped ahead.
TEST_F(FileRangeTest, CreateAlwaysOverALongerFileLeavesOnlyWhatWasWritten) {
  const std::string path = dir.File("long.bin");
  WriteBytes(path, "0123456789abcdefghij");
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileSize(h, nullptr), 0u);
  EXPECT_EQ(SetFilePointer(h, 3, nullptr, FILE_BEGIN), 3u);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(h, "xy", 2, &written, nullptr));
  EXPECT_EQ(GetFileSize(h, nullptr), 5u);
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_END), 5u);
  ASSERT_TRUE(WriteFile(h, "z", 1, &written, nullptr));
  EXPECT_EQ(SetFilePointer(h, 1, nullptr, FILE_BEGIN), 1u);
  ASSERT_TRUE(WriteFile(h, "w", 1, &written, nullptr));
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(ReadBytes(path), std::string("\0w\0xyz", 6));
  // Nothing written: nothing left.
  h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(ReadBytes(path), "");
}

TEST_F(FileRangeTest, AppendsWithOpenAlways) {
  const std::string existing = dir.File("one");
  WriteBytes(existing, "o");
  const std::string missing = dir.File("none");
  for (const char* piece : {"a", "b", "c"}) {
    EXPECT_EQ(Write(existing, piece, 1, kAppendOffset, OPEN_ALWAYS), 1u);
    EXPECT_EQ(Write(missing, piece, 1, kAppendOffset, OPEN_ALWAYS), 1u);
  }
  EXPECT_EQ(ReadBytes(existing), "oabc");
  EXPECT_EQ(ReadBytes(missing), "abc");
}

TEST_F(FileRangeTest, SizeZeroWritesTheStringLength) {
  const std::string path = dir.File("s");
  WriteBytes(path, "old content");
  EXPECT_EQ(Write(path, "", 0, 0, CREATE_ALWAYS), 0u);
  EXPECT_EQ(ReadBytes(path), "");
  EXPECT_EQ(Write(path, "text\0hidden", 0, 0, CREATE_ALWAYS), 4u);
  EXPECT_EQ(ReadBytes(path), "text");
  // Only the low 32 bits of a non-zero size count.
  EXPECT_EQ(Write(path, "zzz", 0x100000000ull, 0, CREATE_ALWAYS), 0u);
  EXPECT_EQ(ReadBytes(path), "");
}

TEST_F(FileRangeTest, OpenAlwaysAtOffsetZeroOverwritesTheStart) {
  const std::string path = dir.File("o");
  WriteBytes(path, "0123456789");
  EXPECT_EQ(Write(path, "ab", 2, 0, OPEN_ALWAYS), 2u);
  EXPECT_EQ(ReadBytes(path), "ab23456789");
  EXPECT_EQ(Write(path, "XY", 2, 8, OPEN_ALWAYS), 2u);
  EXPECT_EQ(ReadBytes(path), "ab234567XY");
}

TEST_F(FileRangeTest, WholeFileRoundTripOfBinaryBytes) {
  std::string bytes;
  for (int i = 0; i < 70000; ++i) bytes.push_back(static_cast<char>((i * 7) & 0xFF));
  const std::string path = dir.File("big.bin");
  EXPECT_EQ(Write(path, bytes.data(), bytes.size(), 0, CREATE_ALWAYS), bytes.size());
  ReadFileRangeArgs size;
  size.path = path.c_str();
  ASSERT_EQ(ReadFileRange(size), bytes.size());
  std::string back(bytes.size(), '\0');
  EXPECT_EQ(ReadInto(path, back, 0), bytes.size());
  EXPECT_EQ(back, bytes);
}

TEST_F(FileRangeTest, ADirectoryIsNotAFile) {
  ReadFileRangeArgs args;
  const std::string path = dir.path().string();
  args.path = path.c_str();
  EXPECT_EQ(ReadFileRange(args), kFileRangeFailed);
  EXPECT_EQ(Write(path, "x", 1, 0, CREATE_ALWAYS), kFileRangeFailed);
}

}  // namespace
}  // namespace qzf
