// Processes other than the test's own, for code that tells a running process
// from one that has ended by its id.
#pragma once

#include <cstdint>

namespace qzf::test {

// A process that runs (doing nothing) until the object goes.
class RunningProcess {
 public:
  RunningProcess();
  ~RunningProcess();
  RunningProcess(const RunningProcess&) = delete;
  RunningProcess& operator=(const RunningProcess&) = delete;
  std::uint32_t id() const { return id_; }

 private:
  std::uint32_t id_ = 0;
  [[maybe_unused]] void* handle_ = nullptr;  // Windows: the process handle
};

// The id of a process that has just ended.
std::uint32_t EndedProcessId();

}  // namespace qzf::test
