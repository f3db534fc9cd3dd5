#include "MOProcessList.h"

#include <algorithm>
#include <unordered_map>

#include "EngineMessages.h"
#include "SharedRoutines.h"

namespace tarnwick {

namespace {

// The client's thread waits here during engine creation: never for long.
constexpr DWORD kTerminalServicesWaitMs = 30000;
constexpr DWORD kTerminalServicesAccess =
    SERVICE_QUERY_CONFIG | SERVICE_CHANGE_CONFIG | SERVICE_QUERY_STATUS | SERVICE_START;  // 0x17
constexpr uint64_t kIdleProcessMemory = 0x4000;
constexpr wchar_t kIdleProcessName[] = L"System Idle Process";

DWORD PollInterval(const SERVICE_STATUS& status) {
  return std::clamp<DWORD>(status.dwWaitHint / 10, 1000, 10000);
}

// Clears the busy flag however the refresh ends.
struct BusyRelease {
  std::atomic<bool>& flag;
  ~BusyRelease() { flag = false; }
};

std::wstring SystemFolderWithBackslash() {
  wchar_t folder[kFolderChars] = {};
  SystemFolders(nullptr, folder, nullptr);
  return folder;
}

}  // namespace

ServiceCheck EnsureTerminalServices(platform::ServiceControl& services, DWORD maxWaitMs) {
  SC_HANDLE manager = services.OpenManager(SC_MANAGER_ALL_ACCESS);
  if (!manager) return ServiceCheck::kFailed;
  SC_HANDLE service = services.OpenNamedService(manager, L"TermService", kTerminalServicesAccess);
  if (!service) {
    services.Close(manager);
    return ServiceCheck::kFailed;
  }

  auto check = [&]() -> ServiceCheck {
    SERVICE_STATUS status = {};
    if (!services.QueryStatus(service, status)) return ServiceCheck::kFailed;
    if (status.dwCurrentState == SERVICE_RUNNING) return ServiceCheck::kRunning;

    DWORD startType = 0;
    if (!services.StartType(service, startType)) return ServiceCheck::kFailed;
    if (startType != SERVICE_AUTO_START && !services.SetStartType(service, SERVICE_AUTO_START)) {
      return ServiceCheck::kFailed;
    }

    const ULONGLONG start = services.Ticks();
    // One pause of the polling; false once the time is up.
    auto pause = [&]() {
      const ULONGLONG spent = services.Ticks() - start;
      if (spent >= maxWaitMs) return false;
      services.Sleep(static_cast<DWORD>(std::min<ULONGLONG>(PollInterval(status), maxWaitMs - spent)));
      return true;
    };

    while (status.dwCurrentState == SERVICE_START_PENDING) {
      if (!pause()) return ServiceCheck::kTimedOut;
      if (!services.QueryStatus(service, status)) return ServiceCheck::kFailed;
    }
    if (status.dwCurrentState == SERVICE_RUNNING) return ServiceCheck::kRunning;

    if (!services.Start(service)) return ServiceCheck::kFailed;
    if (!services.QueryStatus(service, status)) return ServiceCheck::kFailed;
    while (status.dwCurrentState != SERVICE_RUNNING) {
      // A service that stopped again will not come up by waiting.
      if (status.dwCurrentState == SERVICE_STOPPED) return ServiceCheck::kFailed;
      if (!pause()) return ServiceCheck::kTimedOut;
      if (!services.QueryStatus(service, status)) return ServiceCheck::kFailed;
    }
    return ServiceCheck::kRunning;
  };

  const ServiceCheck result = check();
  services.Close(service);
  services.Close(manager);
  return result;
}

CMOProcessList::CMOProcessList() : CMOProcessList(Seams{}) {}

CMOProcessList::CMOProcessList(const Seams& seams)
    : processes_(seams.processes ? *seams.processes : platform::RealProcessSystem()),
      shell_(seams.shell ? *seams.shell : platform::RealShellLaunch()),
      systemFolder_(seams.systemFolder.empty() ? SystemFolderWithBackslash() : seams.systemFolder) {
  EnsureTerminalServices(seams.services ? *seams.services : platform::RealServiceControl(),
                         kTerminalServicesWaitMs);
  RefreshList();
}

CMOProcessList::~CMOProcessList() {
  std::vector<CMOProcessItem*> items;
  {
    std::lock_guard<std::mutex> guard(lock_);
    items.swap(items_);
  }
  for (CMOProcessItem* item : items) {
    item->Detach();
    item->Unlist();
  }
}

bool CMOProcessList::RefreshList() {
  if (busy_.exchange(true)) return false;
  BusyRelease release{busy_};
  bool done = false;
  try {
    done = Enumerate(Source::kSessions) || Enumerate(Source::kSnapshot);
  } catch (...) {
    // Out of memory part-way: what was committed stays, the rest waits for
    // the next refresh.
    done = false;
  }
  if (done) firstFill_ = false;
  return done;
}

void CMOProcessList::DropEnded() {
  // Only a refresh changes items_, and refreshes never overlap: reading it
  // here needs no lock; the lock guards the swap against readers.
  std::vector<CMOProcessItem*> kept;
  std::vector<CMOProcessItem*> ended;
  kept.reserve(items_.size());
  for (CMOProcessItem* item : items_) {
    const DWORD id = item->Id();
    const bool gone = id != 0 && id != 4 && item->Handle() && processes_.HasEnded(item->Handle());
    (gone ? ended : kept).push_back(item);
  }
  if (ended.empty()) return;
  {
    std::lock_guard<std::mutex> guard(lock_);
    items_.swap(kept);
  }
  for (CMOProcessItem* item : ended) {
    item->Detach();
    PostToPump(eventThread_, kMsgProcessExit, item->IndexValue(), static_cast<LPARAM>(item->Id()));
    item->Unlist();
  }
}

CMOProcessItem* CMOProcessList::CreateItem(const platform::ProcessEntry& entry) {
  CMOProcessItem::Origin origin;
  origin.processId = entry.id;
  origin.name = entry.name.substr(0, kFolderChars - 1);
  if (entry.id == 0) {
    origin.name = kIdleProcessName;
    auto* idle = new CMOProcessItem(processes_, std::move(origin));
    idle->SetMemory(kIdleProcessMemory);
    return idle;
  }

  origin.handle = processes_.Open(kItemAccess, entry.id);
  if (!origin.handle) return nullptr;  // tried again at the next refresh

  try {
    wchar_t path[kFolderChars] = {};
    processes_.MainModulePath(origin.handle, path, kFolderChars);
    path[kFolderChars - 1] = L'\0';
    NormaliseProcessPath(path, systemFolder_.c_str());
    origin.path = path;

    if (path[0]) {
      int imageIndex = 0;
      if (HICON icon = shell_.SmallIcon(path, imageIndex)) {
        PICTDESC description = {};
        description.cbSizeofstruct = sizeof(description);
        description.picType = PICTYPE_ICON;
        description.icon.hicon = icon;
        IPicture* picture = nullptr;
        if (SUCCEEDED(OleCreatePictureIndirect(&description, IID_IPicture, TRUE,
                                               reinterpret_cast<void**>(&picture))) && picture) {
          origin.icon = picture;  // the picture owns the icon from here
          origin.iconIndex = static_cast<ULONG>(imageIndex);
        } else {
          DestroyIcon(icon);
        }
      }
    }
    return new CMOProcessItem(processes_, std::move(origin));
  } catch (...) {
    // Nothing the item would have owned is left behind.
    processes_.Close(origin.handle);
    if (origin.icon) origin.icon->Release();
    throw;
  }
}

bool CMOProcessList::Enumerate(Source source) {
  if (!firstFill_) DropEnded();

  std::vector<platform::ProcessEntry> entries;
  const bool listed = source == Source::kSessions ? processes_.EnumerateSessionProcesses(entries)
                                                  : processes_.EnumerateSnapshotProcesses(entries);
  if (!listed || entries.empty()) return false;

  // Existing items by process identifier, so that matching stays linear.
  std::unordered_multimap<DWORD, CMOProcessItem*> byId;
  byId.reserve(items_.size() + entries.size());
  for (CMOProcessItem* item : items_) byId.emplace(item->Id(), item);
  auto find = [&](const platform::ProcessEntry& entry) -> CMOProcessItem* {
    auto [first, last] = byId.equal_range(entry.id);
    for (auto it = first; it != last; ++it) {
      if (entry.id == 0 || it->second->Name() == entry.name) return it->second;
    }
    return nullptr;
  };

  const uint64_t now = processes_.Now();
  const unsigned processors = processes_.ProcessorCount();
  std::vector<CMOProcessItem*> added;
  ULONG index = source == Source::kSessions ? 0 : 1;
  try {
    for (const platform::ProcessEntry& entry : entries) {
      const ULONG position = index++;
      CMOProcessItem* item = find(entry);
      const bool isNew = item == nullptr;
      if (isNew) {
        item = CreateItem(entry);
        if (!item) continue;
        added.push_back(item);
        byId.emplace(item->Id(), item);
      }
      item->SetIndex(position);
      if (entry.id != 0) item->Sample(processes_, now, processors);
    }
  } catch (...) {
    for (CMOProcessItem* item : added) {
      item->Detach();
      item->Unlist();
    }
    throw;
  }

  {
    std::lock_guard<std::mutex> guard(lock_);
    items_.insert(items_.end(), added.begin(), added.end());
  }
  if (!firstFill_) {
    for (CMOProcessItem* item : added) {
      PostToPump(eventThread_, kMsgProcessNew, item->IndexValue(), static_cast<LPARAM>(item->Id()));
    }
  }
  return true;
}

std::vector<ProcessSnapshot> CMOProcessList::Snapshot() const {
  std::lock_guard<std::mutex> guard(lock_);
  std::vector<ProcessSnapshot> snapshot;
  snapshot.reserve(items_.size());
  for (const CMOProcessItem* item : items_) {
    snapshot.push_back({item->IndexValue(), item->Id(), item->Name(), item->Path(), item->Memory(), item->Cpu()});
  }
  return snapshot;
}

bool CMOProcessList::TerminateProcess(DWORD processId) { return TerminateProcessById(processes_, processId); }

STDMETHODIMP CMOProcessList::Refresh() { return RefreshList() ? S_OK : S_FALSE; }

STDMETHODIMP CMOProcessList::NewProcess(BSTR AppPath, BSTR AppParam) {
  if (!AppPath && !AppParam) return S_FALSE;
  if (shell_.Execute(nullptr, AppPath, AppParam) <= 32) return S_FALSE;
  RefreshList();  // reports the new process at once when it has started
  return S_OK;
}

STDMETHODIMP CMOProcessList::get_ProcessCount(ULONG* pVal) {
  if (!pVal) return E_POINTER;
  std::lock_guard<std::mutex> guard(lock_);
  *pVal = static_cast<ULONG>(items_.size());
  return S_OK;
}

HRESULT CMOProcessList::HandOut(CMOProcessItem* item, IMOProcessItem** out) {
  if (!item) return S_FALSE;
  item->AddRef();
  *out = item;
  return S_OK;
}

STDMETHODIMP CMOProcessList::get_ProcessItemByIndex(ULONG Index, IMOProcessItem** pVal) {
  if (!pVal) return E_POINTER;
  *pVal = nullptr;
  std::lock_guard<std::mutex> guard(lock_);
  return HandOut(Index < items_.size() ? items_[Index] : nullptr, pVal);
}

STDMETHODIMP CMOProcessList::get_ProcessItemByID(ULONG ID, IMOProcessItem** pVal) {
  if (!pVal) return E_POINTER;
  *pVal = nullptr;
  std::lock_guard<std::mutex> guard(lock_);
  auto it = std::find_if(items_.begin(), items_.end(), [&](CMOProcessItem* item) { return item->Id() == ID; });
  return HandOut(it != items_.end() ? *it : nullptr, pVal);
}

}  // namespace tarnwick
