#include "MOProcessItem.h"

#include <cwchar>

#include "SharedRoutines.h"

namespace tarnwick {

namespace {

// At the list's pace (a second by default) a process has long loaded its
// main module after these.
constexpr int kPathTries = 10;

struct PriorityPair {
  _MO_PROCESS_PRIORIT priority;
  DWORD priorityClass;
};

constexpr PriorityPair kPriorities[] = {
    {MO_PP_IDLE, IDLE_PRIORITY_CLASS},
    {MO_PP_BELOW_NORMAL, BELOW_NORMAL_PRIORITY_CLASS},
    {MO_PP_NORMAL, NORMAL_PRIORITY_CLASS},
    {MO_PP_ABOVE_NORMAL, ABOVE_NORMAL_PRIORITY_CLASS},
    {MO_PP_HIGH, HIGH_PRIORITY_CLASS},
    {MO_PP_REALTIME, REALTIME_PRIORITY_CLASS},
};

}  // namespace

DWORD PriorityClassOf(_MO_PROCESS_PRIORIT priority) {
  for (const auto& pair : kPriorities) {
    if (pair.priority == priority) return pair.priorityClass;
  }
  return 0;
}

_MO_PROCESS_PRIORIT PriorityOfClass(DWORD priorityClass) {
  for (const auto& pair : kPriorities) {
    if (pair.priorityClass == priorityClass) return pair.priority;
  }
  return MO_PP_UNKNOWN;
}

uint8_t ProcessorPercent(uint64_t processorTime, uint64_t wallTime, unsigned processors) {
  if (wallTime == 0 || processors == 0) return 0;
  const uint64_t capacity = wallTime * processors;
  const uint64_t percent = (processorTime * 100 + capacity / 2) / capacity;
  return static_cast<uint8_t>(percent > 100 ? 100 : percent);
}

void NormaliseProcessPath(wchar_t* path, const wchar_t* systemFolder) {
  const size_t bytes = MAX_PATH * sizeof(wchar_t);
  ReplaceText(path, bytes, L"\\??\\", L"", UINT32_MAX);
  ReplaceText(path, bytes, L"\\SystemRoot\\System32\\", systemFolder ? systemFolder : L"", UINT32_MAX);
  ReplaceText(path, bytes, L"c:\\", L"C:\\", UINT32_MAX);
  ReplaceText(path, bytes, L"\\program files\\", L"\\Program Files\\", UINT32_MAX);
}

bool TerminateProcessById(platform::ProcessSystem& system, DWORD processId) {
  return platform::WithProcess(system, PROCESS_TERMINATE, processId,
                     [&](HANDLE process) { return system.Terminate(process, 0); });
}

bool TrimProcessById(platform::ProcessSystem& system, DWORD processId) {
  return platform::WithProcess(system, PROCESS_SET_QUOTA, processId,
                     [&](HANDLE process) { return system.TrimWorkingSet(process); });
}

CMOProcessItem::CMOProcessItem() { detached_ = true; }

CMOProcessItem::CMOProcessItem(platform::ProcessSystem& system, Origin origin)
    : system_(&system),
      processId_(origin.processId),
      name_(std::move(origin.name)),
      path_(std::move(origin.path)),
      handle_(origin.handle) {}

std::wstring CMOProcessItem::Path() const {
  std::lock_guard<std::mutex> guard(lock_);
  return path_;
}

bool CMOProcessItem::WantsPath() const {
  std::lock_guard<std::mutex> guard(lock_);
  return path_.empty() && pathTries_ < kPathTries;
}

bool CMOProcessItem::TakePath(std::wstring path) {
  std::lock_guard<std::mutex> guard(lock_);
  ++pathTries_;
  if (!path_.empty() || path.empty()) return false;
  path_ = std::move(path);
  return true;
}

CMOProcessItem::~CMOProcessItem() { Detach(); }

void CMOProcessItem::Detach() {
  detached_ = true;
  icon_->GiveUp();
  // The handle came from the process seam and goes back through it.
  if (HANDLE handle = handle_.exchange(nullptr); handle && system_) system_->Close(handle);
}

void CMOProcessItem::Sample(platform::ProcessSystem& system, uint64_t now, unsigned processors) {
  HANDLE process = handle_.load();
  if (!process) return;
  priority_ = PriorityOfClass(system.PriorityClass(process));
  uint64_t bytes = 0;
  memory_ = system.WorkingSetSize(process, bytes) ? bytes : 0;

  uint64_t time = 0;
  if (!system.ProcessorTime(process, time)) {
    cpu_ = 0;
    sampled_ = false;
    return;
  }
  if (sampled_ && time >= lastProcessorTime_ && now > lastWallTime_) {
    cpu_ = ProcessorPercent(time - lastProcessorTime_, now - lastWallTime_, processors);
  }
  sampled_ = true;
  lastProcessorTime_ = time;
  lastWallTime_ = now;
}

STDMETHODIMP CMOProcessItem::get_Index(ULONG* pVal) { return Field(pVal, index_.load()); }
STDMETHODIMP CMOProcessItem::get_ProcessID(ULONG* pVal) { return Field(pVal, processId_); }
STDMETHODIMP CMOProcessItem::get_ProcessHandle(ULONG* pVal) {
  // Handle values fit 32 bits on every Windows, also the 64-bit one.
  return Field(pVal, reinterpret_cast<ULONG_PTR>(handle_.load()));
}
STDMETHODIMP CMOProcessItem::get_ProcessCPU(unsigned char* pVal) { return Field(pVal, cpu_.load()); }
STDMETHODIMP CMOProcessItem::get_ProcessPriority(_MO_PROCESS_PRIORIT* pVal) { return Field(pVal, priority_.load()); }
STDMETHODIMP CMOProcessItem::get_ProcessMemory(UINT64* pVal) { return Field(pVal, memory_.load()); }
STDMETHODIMP CMOProcessItem::get_ProcessIconIndex(ULONG* pVal) {
  return com::Barrier([&] { return com::Out(pVal, icon_->Answer().second, Answer()); });
}

STDMETHODIMP CMOProcessItem::get_ProcessName(BSTR* pVal) {
  return com::Barrier([&] { return com::OutString(pVal, name_, Answer()); });
}

STDMETHODIMP CMOProcessItem::get_ProcessPath(BSTR* pVal) {
  return com::Barrier([&] { return com::OutString(pVal, Path(), Answer()); });
}

STDMETHODIMP CMOProcessItem::get_ProcessIcon(IPictureDisp** pVal) {
  return com::Barrier([&]() -> HRESULT {
    if (!pVal) return E_POINTER;
    *pVal = icon_->Answer().first.As<IPictureDisp>(IID_IPictureDisp).Release();
    return Answer();
  });
}

STDMETHODIMP CMOProcessItem::put_ProcessPriority(_MO_PROCESS_PRIORIT newVal) {
  return com::Barrier([&] {
    if (detached_ || !system_) return S_FALSE;
    // A process that cannot be opened keeps its shown priority.
    const bool set = platform::WithProcess(*system_, PROCESS_SET_INFORMATION, processId_, [&](HANDLE process) {
      priority_ = newVal;  // shown until the next refresh re-reads it
      // A value outside the table has no class; the system would refuse it.
      const DWORD priorityClass = PriorityClassOf(newVal);
      return priorityClass != 0 && system_->SetPriorityClass(process, priorityClass);
    });
    return com::Done(set);
  });
}

HRESULT CMOProcessItem::OnProcess(bool (*act)(platform::ProcessSystem&, DWORD)) {
  return com::Barrier([&] { return com::Done(!detached_ && system_ && act(*system_, processId_)); });
}

STDMETHODIMP CMOProcessItem::Terminate() { return OnProcess(&TerminateProcessById); }
STDMETHODIMP CMOProcessItem::FreeMemory() { return OnProcess(&TrimProcessById); }

}  // namespace tarnwick
