#include "studio/open_browser.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
extern char** environ;
#endif

namespace qzf::studio {

#ifdef _WIN32
bool OpenInBrowser(const std::string& url) {
  std::wstring wide(url.begin(), url.end());  // the address is ASCII
  const auto result =
      reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}
#else
bool OpenInBrowser(const std::string& url) {
  // xdg-open may wait for the browser; a child of its own that is not
  // waited for keeps the studio going. Its output is not ours to show.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  char program[] = "xdg-open";
  std::string address = url;
  char* argv[] = {program, address.data(), nullptr};
  pid_t child = 0;
  const int started = posix_spawnp(&child, program, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return false;
  std::thread([child] { waitpid(child, nullptr, 0); }).detach();
  return true;
}
#endif

}  // namespace qzf::studio
