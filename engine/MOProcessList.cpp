#include "MOProcessList.h"

#include <algorithm>
#include <unordered_map>

#include "EngineMessages.h"
#include "SharedRoutines.h"
#include "WorkerThread.h"

namespace tarnwick {

namespace {

// The check's own bound; nobody waits for it.
constexpr DWORD kTerminalServicesWaitMs = 30000;
// How long the list's end waits for a check that was asked to stop.
constexpr DWORD kServiceCheckStopWaitMs = 1000;
constexpr DWORD kTerminalServicesAccess =
    SERVICE_QUERY_CONFIG | SERVICE_CHANGE_CONFIG | SERVICE_QUERY_STATUS | SERVICE_START;  // 0x17
constexpr uint64_t kIdleProcessMemory = 0x4000;
constexpr wchar_t kIdleProcessName[] = L"System Idle Process";

DWORD PollInterval(const SERVICE_STATUS& status) {
  return std::clamp<DWORD>(status.dwWaitHint / 10, 1000, 10000);
}

std::wstring SystemFolderWithBackslash() {
  wchar_t folder[kFolderChars] = {};
  SystemFolders(nullptr, folder, nullptr);
  return folder;
}

}  // namespace

ServiceCheck EnsureTerminalServices(platform::ServiceControl& services, DWORD maxWaitMs, HANDLE stop) {
  SC_HANDLE manager = services.OpenManager(SC_MANAGER_ALL_ACCESS);
  if (!manager) return ServiceCheck::kFailed;
  auto closeManager = kit::OnExit([&] { services.Close(manager); });
  SC_HANDLE service = services.OpenNamedService(manager, L"TermService", kTerminalServicesAccess);
  if (!service) return ServiceCheck::kFailed;
  auto closeService = kit::OnExit([&] { services.Close(service); });

  SERVICE_STATUS status = {};
  if (!services.QueryStatus(service, status)) return ServiceCheck::kFailed;
  if (status.dwCurrentState == SERVICE_RUNNING) return ServiceCheck::kRunning;

  DWORD startType = 0;
  if (!services.StartType(service, startType)) return ServiceCheck::kFailed;
  if (startType != SERVICE_AUTO_START && !services.SetStartType(service, SERVICE_AUTO_START)) {
    return ServiceCheck::kFailed;
  }

  const ULONGLONG start = services.Ticks();
  // One pause of the polling: how it ended.
  enum class Pause { kDone, kTimeUp, kStopped };
  auto pause = [&]() {
    const ULONGLONG spent = services.Ticks() - start;
    if (spent >= maxWaitMs) return Pause::kTimeUp;
    const auto ms = static_cast<DWORD>(std::min<ULONGLONG>(PollInterval(status), maxWaitMs - spent));
    return services.Sleep(stop, ms) ? Pause::kDone : Pause::kStopped;
  };
  auto failed = [](Pause p) { return p == Pause::kTimeUp ? ServiceCheck::kTimedOut : ServiceCheck::kStopped; };

  while (status.dwCurrentState == SERVICE_START_PENDING) {
    if (Pause p = pause(); p != Pause::kDone) return failed(p);
    if (!services.QueryStatus(service, status)) return ServiceCheck::kFailed;
  }
  if (status.dwCurrentState == SERVICE_RUNNING) return ServiceCheck::kRunning;

  if (!services.Start(service)) return ServiceCheck::kFailed;
  if (!services.QueryStatus(service, status)) return ServiceCheck::kFailed;
  while (status.dwCurrentState != SERVICE_RUNNING) {
    // A service that stopped again will not come up by waiting.
    if (status.dwCurrentState == SERVICE_STOPPED) return ServiceCheck::kFailed;
    if (Pause p = pause(); p != Pause::kDone) return failed(p);
    if (!services.QueryStatus(service, status)) return ServiceCheck::kFailed;
  }
  return ServiceCheck::kRunning;
}

struct BackgroundServiceCheck::Shared {
  platform::ServiceControl* services;
  DWORD maxWaitMs;
  kit::Handle stop;
};

BackgroundServiceCheck::BackgroundServiceCheck(platform::ServiceControl& services, DWORD maxWaitMs)
    : shared_(std::make_shared<Shared>(
          Shared{&services, maxWaitMs, kit::Handle(CreateEventW(nullptr, TRUE, FALSE, nullptr))})) {
  if (!shared_->stop) return;  // no check: the refresh falls back to the snapshot where it must
  thread_ = StartModuleThread([shared = shared_] {
    EnsureTerminalServices(*shared->services, shared->maxWaitMs, shared->stop.Get());
  });
}

BackgroundServiceCheck::~BackgroundServiceCheck() {
  RequestStop();
  WaitForEnd(kServiceCheckStopWaitMs);
}

void BackgroundServiceCheck::RequestStop() {
  if (thread_) SetEvent(shared_->stop.Get());
}

bool BackgroundServiceCheck::WaitForEnd(DWORD ms) const {
  return !thread_ || WaitForSingleObject(thread_.Get(), ms) == WAIT_OBJECT_0;
}

CMOProcessList::CMOProcessList() : CMOProcessList(Seams{}) {}

CMOProcessList::CMOProcessList(const Seams& seams)
    : processes_(seams.processes ? *seams.processes : platform::RealProcessSystem()),
      shell_(seams.shell ? *seams.shell : platform::RealShellLaunch()),
      systemFolder_(seams.systemFolder.empty() ? SystemFolderWithBackslash() : seams.systemFolder),
      icons_(shell_, seams.iconDelayMs) {
  // Its result is not used: the refresh falls back to the snapshot while the
  // service is not up.
  serviceCheck_ = std::make_unique<BackgroundServiceCheck>(
      seams.services ? *seams.services : platform::RealServiceControl(), kTerminalServicesWaitMs);
  RefreshList();
}

CMOProcessList::~CMOProcessList() {
  // Icons still queued are given up now; the one being taken is waited for
  // last, after the items have gone (its icon outlives them if need be).
  icons_.RequestStop();
  std::vector<CMOProcessItem*> items;
  {
    std::lock_guard<std::mutex> guard(lock_);
    items.swap(items_);
  }
  for (CMOProcessItem* item : items) {
    item->Detach();
    item->Drop(/*ownerGoing=*/true);
  }
  icons_.Stop();
}

bool CMOProcessList::RefreshList() {
  if (busy_.exchange(true)) return false;
  // An exception part-way (no memory) leaves what was committed; the rest
  // waits for the next refresh.
  auto release = kit::OnExit([this] { busy_ = false; });
  const bool done = Enumerate(Source::kSessions) || Enumerate(Source::kSnapshot);
  if (done) firstFill_ = false;
  return done;
}

void CMOProcessList::DropEnded() {
  // Only a refresh changes items_, and refreshes never overlap: reading it
  // here needs no lock; the lock guards the swap against readers.
  std::vector<CMOProcessItem*> watched;  // the items whose end is looked for
  std::vector<HANDLE> handles;
  for (CMOProcessItem* item : items_) {
    const DWORD id = item->Id();
    if (id == 0 || id == 4 || !item->Handle()) continue;
    watched.push_back(item);
    handles.push_back(item->Handle());
  }
  const std::vector<bool> gone = processes_.WhichEnded(handles);
  std::vector<CMOProcessItem*> kept;
  std::vector<CMOProcessItem*> ended;
  kept.reserve(items_.size());
  size_t next = 0;  // the next watched item, in list order
  for (CMOProcessItem* item : items_) {
    const bool isWatched = next < watched.size() && watched[next] == item;
    const bool itemEnded = isWatched && next < gone.size() && gone[next];
    if (isWatched) ++next;
    (itemEnded ? ended : kept).push_back(item);
  }
  if (ended.empty()) return;
  {
    std::lock_guard<std::mutex> guard(lock_);
    items_.swap(kept);
  }
  for (CMOProcessItem* item : ended) {
    item->Detach();
    PostToPump(eventThread_, kMsgProcessExit, item->IndexValue(), static_cast<LPARAM>(item->Id()));
    item->Drop();
  }
}

CMOProcessItem* CMOProcessList::CreateItem(const platform::ProcessEntry& entry) {
  CMOProcessItem::Origin origin;
  origin.processId = entry.id;
  origin.name = entry.name.substr(0, kFolderChars - 1);
  if (entry.id == 0) {
    origin.name = kIdleProcessName;
    auto* idle = new CMOProcessItem(processes_, std::move(origin));
    idle->SetOwner(Unknown());
    idle->SetMemory(kIdleProcessMemory);
    return idle;
  }

  // A process still starting may be listed before its name (Wine does so on
  // a busy machine); its item would keep no name. It is tried again at the
  // next refresh, as one that cannot be opened yet.
  if (origin.name.empty()) return nullptr;
  origin.handle = processes_.Open(kItemAccess, entry.id);
  if (!origin.handle) return nullptr;  // tried again at the next refresh
  // Until the item takes it over, however this ends.
  auto closeHandle = kit::OnExit([&] { processes_.Close(origin.handle); });

  origin.path = ModulePath(origin.handle);
  auto* item = new CMOProcessItem(processes_, std::move(origin));
  closeHandle.Dismiss();
  item->SetOwner(Unknown());
  return item;
}

void CMOProcessList::WantIcon(CMOProcessItem* item) {
  std::wstring path = item->Path();
  if (!path.empty()) icons_.Want(item->IconOf(), std::move(path));
}

std::wstring CMOProcessList::ModulePath(HANDLE process) {
  wchar_t path[kFolderChars] = {};
  processes_.MainModulePath(process, path, kFolderChars);
  path[kFolderChars - 1] = L'\0';
  NormaliseProcessPath(path, systemFolder_.c_str());
  return path;
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
  // New items not yet listed go again when the walk ends early.
  auto dropAdded = kit::OnExit([&] {
    for (CMOProcessItem* item : added) {
      item->Detach();
      item->Drop();
    }
  });
  ULONG index = source == Source::kSessions ? 0 : 1;
  for (const platform::ProcessEntry& entry : entries) {
    const ULONG position = index++;
    CMOProcessItem* item = find(entry);
    const bool isNew = item == nullptr;
    if (isNew) {
      added.reserve(added.size() + 1);  // so that the new item is never lost
      item = CreateItem(entry);
      if (!item) continue;
      added.push_back(item);
      byId.emplace(item->Id(), item);
      // Its icon is taken now, from the file it runs from now.
      WantIcon(item);
    }
    item->SetIndex(position);
    if (entry.id == 0) continue;
    // Read again until known: one still starting may have no module yet.
    // The icon comes with the path.
    if (!isNew && item->Handle() && item->WantsPath() && item->TakePath(ModulePath(item->Handle()))) {
      WantIcon(item);
    }
    item->Sample(processes_, now, processors);
  }

  {
    std::lock_guard<std::mutex> guard(lock_);
    items_.insert(items_.end(), added.begin(), added.end());
  }
  dropAdded.Dismiss();
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

STDMETHODIMP CMOProcessList::Refresh() {
  return com::Barrier([&] { return com::Done(RefreshList()); });
}

STDMETHODIMP CMOProcessList::NewProcess(BSTR AppPath, BSTR AppParam) {
  return com::Barrier([&] {
    if (!AppPath && !AppParam) return S_FALSE;
    if (shell_.Execute(nullptr, AppPath, AppParam) <= 32) return S_FALSE;
    RefreshList();  // reports the new process at once when it has started
    return S_OK;
  });
}

STDMETHODIMP CMOProcessList::get_ProcessCount(ULONG* pVal) {
  return com::Barrier([&] {
    std::lock_guard<std::mutex> guard(lock_);
    return com::Out(pVal, items_.size());
  });
}

// Items are handed out under the lock: a refresh cannot drop one between
// finding it and adding the caller's reference.
STDMETHODIMP CMOProcessList::get_ProcessItemByIndex(ULONG Index, IMOProcessItem** pVal) {
  return com::Barrier([&] {
    std::lock_guard<std::mutex> guard(lock_);
    return com::OutObject(pVal, Index < items_.size() ? items_[Index] : nullptr);
  });
}

STDMETHODIMP CMOProcessList::get_ProcessItemByID(ULONG ID, IMOProcessItem** pVal) {
  return com::Barrier([&] {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = std::find_if(items_.begin(), items_.end(), [&](CMOProcessItem* item) { return item->Id() == ID; });
    return com::OutObject(pVal, it != items_.end() ? *it : nullptr);
  });
}

}  // namespace tarnwick
