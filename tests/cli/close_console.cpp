// A helper of the command-line test: closes a console window the way a
// person does with its close box, once a build in it has begun.
//
//   close_console TITLE PATTERN
//
// Waits (at most a minute) for a top-level window called TITLE and a file
// matching PATTERN (the build's temporary file), then sends the window the
// close command. Exit status 0 once sent, 1 when either never appeared.
#include <cstdio>

#include "platform/win32.h"

namespace {

bool FileExists(const char* pattern) {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: close_console TITLE PATTERN\n");
    return 2;
  }
  constexpr int kTries = 1200;  // 50 ms apart: a minute
  for (int i = 0; i < kTries; ++i) {
    const HWND window = FindWindowA(nullptr, argv[1]);
    if (window != nullptr && FileExists(argv[2])) {
      PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      return 0;
    }
    Sleep(50);
  }
  std::fprintf(stderr, "close_console: no window \"%s\" with a file %s\n", argv[1], argv[2]);
  return 1;
}
