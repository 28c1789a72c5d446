#include "tests/support/other_process.h"

#include <stdexcept>

#include "platform/win32.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace qzf::test {

#ifdef _WIN32
namespace {
// This test program itself, started suspended: it exists but does nothing.
PROCESS_INFORMATION StartSuspended() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(self, nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup, &info))
    throw std::runtime_error("cannot start a process");
  CloseHandle(info.hThread);
  return info;
}
}  // namespace

RunningProcess::RunningProcess() {
  const PROCESS_INFORMATION info = StartSuspended();
  id_ = info.dwProcessId;
  handle_ = info.hProcess;
}

RunningProcess::~RunningProcess() {
  TerminateProcess(static_cast<HANDLE>(handle_), 0);
  WaitForSingleObject(static_cast<HANDLE>(handle_), INFINITE);
  CloseHandle(static_cast<HANDLE>(handle_));
}

std::uint32_t EndedProcessId() {
  RunningProcess process;
  return process.id();
}
#else
RunningProcess::RunningProcess() {
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("cannot start a process");
  if (child == 0) {
    for (;;) pause();
  }
  id_ = static_cast<std::uint32_t>(child);
}

RunningProcess::~RunningProcess() {
  kill(static_cast<pid_t>(id_), SIGKILL);
  waitpid(static_cast<pid_t>(id_), nullptr, 0);
}

std::uint32_t EndedProcessId() {
  RunningProcess process;
  return process.id();
}
#endif

}  // namespace qzf::test
