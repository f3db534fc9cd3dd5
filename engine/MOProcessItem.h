// MOProcessItem: one running process as the process list sees it.
//
// Items are created and dropped only by CMOProcessList. A client's reference
// to an item counts on the list too, so the list (and the engine) lives while
// the item is held. A client may still hold an item that the list has
// dropped: such an item is detached (its handle closed, every call answers
// S_FALSE) and freed at its last release, so no reader ever touches a
// destroyed item.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include <kit/Own.h>

#include "ProcessIcons.h"
#include "TarnwickLib.h"
#include "com/DispatchObject.h"
#include "platform/ProcessSystem.h"

namespace tarnwick {

// Process access rights the list and its items ask for.
constexpr DWORD kItemAccess = SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;  // 0x100410

// Priority class of an enum value (0 for a value outside the table), and back.
DWORD PriorityClassOf(_MO_PROCESS_PRIORIT priority);
_MO_PROCESS_PRIORIT PriorityOfClass(DWORD priorityClass);

// Processor use in percent (0..100) of `processorTime` spent over `wallTime`
// (both 100 ns units) on a machine with `processors` processors.
uint8_t ProcessorPercent(uint64_t processorTime, uint64_t wallTime, unsigned processors);

// Rewrites a module path (a buffer of MAX_PATH units) into the form the
// list shows: no "\??\" prefix, "\SystemRoot\System32\" as the system
// folder, an upper-case C drive and "Program Files" capitalised.
void NormaliseProcessPath(wchar_t* path, const wchar_t* systemFolder);

// The operations on a process by identifier that items and game mode share:
// open with the one right needed, act, close.
bool TerminateProcessById(platform::ProcessSystem& system, DWORD processId);
bool TrimProcessById(platform::ProcessSystem& system, DWORD processId);

class CMOProcessItem : public com::DispatchObject<CMOProcessItem, IMOProcessItem> {
 public:
  // What the list knows of a process when it creates its item. The item
  // takes over the handle (closed through the process seam). Its icon is
  // the list's to take (ItemIcon), from the path it has now or, for one
  // still starting, from the path a later refresh finds.
  struct Origin {
    DWORD processId = 0;
    std::wstring name;
    HANDLE handle = nullptr;
    std::wstring path;
  };

  // A class-factory instance: no process behind it, detached from the start.
  CMOProcessItem();
  // A listed item; the list keeps it until it drops it (Drop).
  CMOProcessItem(platform::ProcessSystem& system, Origin origin);
  ~CMOProcessItem() override;

  // Closes the handle and gives up an icon not taken yet; calls answer
  // S_FALSE from now on. The list detaches an item before it drops it.
  void Detach();

  DWORD Id() const { return processId_; }
  const std::wstring& Name() const { return name_; }
  std::wstring Path() const;
  HANDLE Handle() const { return handle_.load(); }
  ULONG IndexValue() const { return index_.load(); }
  uint64_t Memory() const { return memory_.load(); }
  uint8_t Cpu() const { return cpu_.load(); }
  bool IsDetached() const { return detached_.load(); }
  // The item's icon, for the list's icon worker.
  const std::shared_ptr<ItemIcon>& IconOf() const { return icon_; }

  // Written by the refresh.
  void SetIndex(ULONG index) { index_ = index; }
  // A path read at a later refresh: a process still starting may have no
  // module to read yet (Wine lists it so on a busy machine). Wanted while
  // unknown, for a few refreshes only: one whose module can never be read
  // (a 64-bit process seen from the 32-bit engine) is not asked every tick.
  bool WantsPath() const;
  // Counts a try; a path is taken once. True when this try found it.
  bool TakePath(std::wstring path);
  void SetMemory(uint64_t bytes) { memory_ = bytes; }
  // Re-reads priority, working set and processor use through the kept handle.
  void Sample(platform::ProcessSystem& system, uint64_t now, unsigned processors);

  // IMOProcessItem
  STDMETHODIMP get_Index(ULONG *pVal) override;
  STDMETHODIMP get_ProcessID(ULONG *pVal) override;
  STDMETHODIMP get_ProcessHandle(ULONG *pVal) override;
  STDMETHODIMP get_ProcessCPU(unsigned char *pVal) override;
  STDMETHODIMP get_ProcessPriority(_MO_PROCESS_PRIORIT *pVal) override;
  STDMETHODIMP put_ProcessPriority(_MO_PROCESS_PRIORIT newVal) override;
  STDMETHODIMP get_ProcessName(BSTR *pVal) override;
  STDMETHODIMP get_ProcessPath(BSTR *pVal) override;
  STDMETHODIMP get_ProcessMemory(UINT64 *pVal) override;
  STDMETHODIMP get_ProcessIcon(IPictureDisp **pVal) override;
  STDMETHODIMP get_ProcessIconIndex(ULONG *pVal) override;
  STDMETHODIMP Terminate() override;
  STDMETHODIMP FreeMemory() override;

 private:
  // S_OK while listed, S_FALSE once detached.
  HRESULT Answer() const { return com::Done(!detached_.load()); }
  // A get of a stored field, answered as Answer says.
  template <class T, class V>
  HRESULT Field(T* out, V value) const {
    return com::Barrier([&] { return com::Out(out, value, Answer()); });
  }
  // Runs `act` on the item's process: S_FALSE when detached or when it fails.
  HRESULT OnProcess(bool (*act)(platform::ProcessSystem&, DWORD));

  platform::ProcessSystem* system_ = nullptr;
  const DWORD processId_ = 0;
  const std::wstring name_;
  mutable std::mutex lock_;  // the path
  std::wstring path_;
  int pathTries_ = 0;  // later reads of a path still unknown
  const std::shared_ptr<ItemIcon> icon_ = std::make_shared<ItemIcon>();

  std::atomic<bool> detached_{false};
  std::atomic<HANDLE> handle_{nullptr};
  std::atomic<ULONG> index_{0};
  std::atomic<uint8_t> cpu_{0};
  std::atomic<int> priority_{MO_PP_NORMAL};
  std::atomic<uint64_t> memory_{0};

  // Previous processor sample; touched only by the refresh.
  bool sampled_ = false;
  uint64_t lastProcessorTime_ = 0;
  uint64_t lastWallTime_ = 0;
};

}  // namespace tarnwick
