#include "cli/interrupt_cleanup.h"

#include "fileutil/interrupt_removal.h"
#include "platform/win32.h"

#ifndef _WIN32
#include <signal.h>
#include <unistd.h>

#include <initializer_list>
#endif

namespace qzf::cli {
namespace {

constexpr char kMessage[] = "qzffont: interrupted; its temporary files are removed\n";

#ifdef _WIN32
// Runs on a thread of its own while the command goes on; the files are
// removed when the process ends.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  RemoveFilesOnInterrupt();
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), kMessage, sizeof(kMessage) - 1, &written, nullptr);
  TerminateProcess(GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
  return TRUE;
}
#else
// Async-signal-safe: unlink and write only. The handler is reset on entry,
// so the signal raised again ends the process as it would have.
void OnSignal(int signal) {
  RemoveFilesOnInterrupt();
  [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kMessage, sizeof(kMessage) - 1);
  raise(signal);
}
#endif

}  // namespace

void InstallInterruptCleanup() {
#ifdef _WIN32
  SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
#else
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    sigaction(signal, nullptr, &previous);
    // A signal ignored from the start (nohup, a background job) stays ignored.
    if (previous.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int other : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, other);
    sigaction(signal, &action, nullptr);
  }
#endif
}

}  // namespace qzf::cli
