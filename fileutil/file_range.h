// Whole-file and ranged reads and writes: open by path, move to a 64-bit
// offset, move one block in one platform call, close. Each argument record
// carries one slot per platform operation; an empty slot means the platform's
// own operation, a filled one replaces it for that call (tests use this to
// watch the order of operations or to make one of them fail).
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace qzf {

using CreateFileFn = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using ReadFileFn = BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
using WriteFileFn = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
using GetFileSizeFn = DWORD(WINAPI*)(HANDLE, LPDWORD);
using SetFilePointerFn = DWORD(WINAPI*)(HANDLE, LONG, PLONG, DWORD);
using CloseHandleFn = BOOL(WINAPI*)(HANDLE);
using SetFileAttributesFn = BOOL(WINAPI*)(LPCSTR, DWORD);

// Failure result of both functions.
inline constexpr std::uint32_t kFileRangeFailed = 0xFFFFFFFFu;
// Write offset meaning "at the current end of the file".
inline constexpr std::uint64_t kAppendOffset = 0xFFFFFFFFFFFFFFFFull;

struct ReadFileRangeArgs {
  const char* path = nullptr;
  void* buffer = nullptr;  // null asks for the file's size
  std::uint64_t offset = 0;
  std::uint64_t size = 0;  // only the low 32 bits are used
  CreateFileFn createFileFn = nullptr;
  ReadFileFn readFileFn = nullptr;
  GetFileSizeFn getFileSizeFn = nullptr;
  SetFilePointerFn setFilePointerFn = nullptr;
  CloseHandleFn closeHandleFn = nullptr;
};

struct WriteFileRangeArgs {
  const char* path = nullptr;
  const void* data = nullptr;
  std::uint64_t offset = 0;  // kAppendOffset appends
  std::uint64_t size = 0;    // 0: the length of data as a NUL-terminated string
  std::uint32_t creationDisposition = 0;
  CreateFileFn createFileFn = nullptr;
  WriteFileFn writeFileFn = nullptr;
  SetFileAttributesFn setFileAttributesFn = nullptr;
  SetFilePointerFn setFilePointerFn = nullptr;
  CloseHandleFn closeHandleFn = nullptr;
};

// With a buffer: the bytes read. Without: the low 32 bits of the file size.
// kFileRangeFailed on failure.
std::uint32_t ReadFileRange(ReadFileRangeArgs args);

// The bytes written, or kFileRangeFailed. Clears the hidden and read-only
// marks of an existing file first, so a hidden file can be replaced.
std::uint32_t WriteFileRange(WriteFileRangeArgs args);

}  // namespace qzf
