// The system's process services as the process list, its items and game mode
// use them: enumeration, opening, queries and the operations on another
// process. Tests replace it with a fake.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <kit/Own.h>

namespace tarnwick::platform {

struct ProcessEntry {
  DWORD id = 0;
  std::wstring name;  // executable name as the enumeration gives it
};

class ProcessSystem {
 public:
  virtual ~ProcessSystem() = default;

  // Terminal-services enumeration of the local server. False when it fails
  // or lists nothing.
  virtual bool EnumerateSessionProcesses(std::vector<ProcessEntry>& out) = 0;
  // Tool-help snapshot enumeration. False when the snapshot cannot be taken
  // or its first step fails.
  virtual bool EnumerateSnapshotProcesses(std::vector<ProcessEntry>& out) = 0;

  virtual HANDLE Open(DWORD access, DWORD processId) = 0;  // null on failure
  virtual void Close(HANDLE process) = 0;
  // Handle signalled, or an exit code other than STILL_ACTIVE.
  virtual bool HasEnded(HANDLE process) = 0;
  // HasEnded for each handle, in order. The real services wait on many
  // handles at once rather than on each.
  virtual std::vector<bool> WhichEnded(const std::vector<HANDLE>& processes);
  // Full path of the main module (at most `chars` units with the terminator);
  // empty when the module list or the name cannot be read.
  virtual void MainModulePath(HANDLE process, wchar_t* path, DWORD chars) = 0;
  virtual DWORD PriorityClass(HANDLE process) = 0;  // 0 on failure
  virtual bool SetPriorityClass(HANDLE process, DWORD priorityClass) = 0;
  virtual bool WorkingSetSize(HANDLE process, uint64_t& bytes) = 0;
  // Asks the system to remove as many pages as it can from the working set.
  virtual bool TrimWorkingSet(HANDLE process) = 0;
  virtual bool Terminate(HANDLE process, UINT exitCode) = 0;
  // Kernel plus user time of the process, in 100 ns units.
  virtual bool ProcessorTime(HANDLE process, uint64_t& time) = 0;
  // Wall clock in 100 ns units.
  virtual uint64_t Now() = 0;
  virtual unsigned ProcessorCount() = 0;
};

// The real services; one process-wide instance.
ProcessSystem& RealProcessSystem();

// Opens process `processId` through `system` with `access`, runs `act` on its
// handle and closes it again, however `act` ends; false when it cannot be
// opened.
template <class Act>
bool WithProcess(ProcessSystem& system, DWORD access, DWORD processId, Act act) {
  HANDLE process = system.Open(access, processId);
  if (!process) return false;
  auto close = kit::OnExit([&] { system.Close(process); });
  return act(process);
}

}  // namespace tarnwick::platform
