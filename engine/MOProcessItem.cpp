#include "MOProcessItem.h"

#include <cwchar>

#include "SharedRoutines.h"

namespace tarnwick {

namespace {

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

HRESULT NewString(const std::wstring& text, BSTR* out) {
  *out = SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

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
  HANDLE process = system.Open(PROCESS_TERMINATE, processId);
  if (!process) return false;
  const bool ok = system.Terminate(process, 0);
  system.Close(process);
  return ok;
}

bool TrimProcessById(platform::ProcessSystem& system, DWORD processId) {
  HANDLE process = system.Open(PROCESS_SET_QUOTA, processId);
  if (!process) return false;
  const bool ok = system.TrimWorkingSet(process);
  system.Close(process);
  return ok;
}

CMOProcessItem::CMOProcessItem() { detached_ = true; }

CMOProcessItem::CMOProcessItem(platform::ProcessSystem& system, Origin origin)
    : system_(&system),
      processId_(origin.processId),
      name_(std::move(origin.name)),
      path_(std::move(origin.path)),
      iconIndex_(origin.iconIndex),
      icon_(origin.icon),
      fromList_(true),
      holds_(kListedHold),
      handle_(origin.handle) {}

CMOProcessItem::~CMOProcessItem() {
  if (HANDLE handle = handle_.exchange(nullptr); handle && system_) system_->Close(handle);
  if (icon_) icon_->Release();
  if (holdsModule_) com::ModuleUnlock();
}

void CMOProcessItem::Detach() {
  detached_ = true;
  if (HANDLE handle = handle_.exchange(nullptr); handle && system_) system_->Close(handle);
}

void CMOProcessItem::Unlist() {
  // A client may keep a dropped item past the list (and past the engine):
  // the module stays loaded until that last release.
  com::ModuleLock();
  holdsModule_ = true;
  const LONG before = holds_.fetch_and(~kListedHold);
  if (before == kListedHold) delete this;
}

STDMETHODIMP_(ULONG) CMOProcessItem::AddRef() {
  return static_cast<ULONG>((holds_.fetch_add(1) + 1) & ~kListedHold);
}

STDMETHODIMP_(ULONG) CMOProcessItem::Release() {
  LONG seen = holds_.load();
  for (;;) {
    // A client's extra release never takes the list's hold away.
    if ((seen & ~kListedHold) == 0) return 0;
    if (holds_.compare_exchange_weak(seen, seen - 1)) break;
  }
  // An item outside any list is freed at zero only when its list dropped it
  // or a class factory made it; an owned one merely counts.
  if (seen - 1 == 0 && (fromList_ || IsStandalone())) {
    delete this;
    return 0;
  }
  return static_cast<ULONG>((seen - 1) & ~kListedHold);
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

STDMETHODIMP CMOProcessItem::get_Index(ULONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = index_;
  return Answer();
}

STDMETHODIMP CMOProcessItem::get_ProcessID(ULONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = processId_;
  return Answer();
}

STDMETHODIMP CMOProcessItem::get_ProcessHandle(ULONG* pVal) {
  if (!pVal) return E_POINTER;
  // Handle values fit 32 bits on every Windows, also the 64-bit one.
  *pVal = static_cast<ULONG>(reinterpret_cast<ULONG_PTR>(handle_.load()));
  return Answer();
}

STDMETHODIMP CMOProcessItem::get_ProcessCPU(unsigned char* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = cpu_;
  return Answer();
}

STDMETHODIMP CMOProcessItem::get_ProcessPriority(_MO_PROCESS_PRIORIT* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = static_cast<_MO_PROCESS_PRIORIT>(priority_.load());
  return Answer();
}

STDMETHODIMP CMOProcessItem::put_ProcessPriority(_MO_PROCESS_PRIORIT newVal) {
  if (detached_ || !system_) return S_FALSE;
  HANDLE process = system_->Open(PROCESS_SET_INFORMATION, processId_);
  if (!process) return S_FALSE;
  // A value outside the table has no class; the system would refuse it.
  const DWORD priorityClass = PriorityClassOf(newVal);
  const bool ok = priorityClass != 0 && system_->SetPriorityClass(process, priorityClass);
  priority_ = newVal;  // shown until the next refresh re-reads it
  system_->Close(process);
  return ok ? S_OK : S_FALSE;
}

STDMETHODIMP CMOProcessItem::get_ProcessName(BSTR* pVal) {
  if (!pVal) return E_POINTER;
  HRESULT hr = NewString(name_, pVal);
  return FAILED(hr) ? hr : Answer();
}

STDMETHODIMP CMOProcessItem::get_ProcessPath(BSTR* pVal) {
  if (!pVal) return E_POINTER;
  HRESULT hr = NewString(path_, pVal);
  return FAILED(hr) ? hr : Answer();
}

STDMETHODIMP CMOProcessItem::get_ProcessMemory(UINT64* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = memory_;
  return Answer();
}

STDMETHODIMP CMOProcessItem::get_ProcessIcon(IPictureDisp** pVal) {
  if (!pVal) return E_POINTER;
  *pVal = nullptr;
  if (icon_) {
    HRESULT hr = icon_->QueryInterface(IID_IPictureDisp, reinterpret_cast<void**>(pVal));
    if (FAILED(hr)) *pVal = nullptr;
  }
  return Answer();
}

STDMETHODIMP CMOProcessItem::get_ProcessIconIndex(ULONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = iconIndex_;
  return Answer();
}

STDMETHODIMP CMOProcessItem::Terminate() {
  if (detached_ || !system_) return S_FALSE;
  return TerminateProcessById(*system_, processId_) ? S_OK : S_FALSE;
}

STDMETHODIMP CMOProcessItem::FreeMemory() {
  if (detached_ || !system_) return S_FALSE;
  return TrimProcessById(*system_, processId_) ? S_OK : S_FALSE;
}

}  // namespace tarnwick
