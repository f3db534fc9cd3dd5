// Fakes of the memory-block, trimming, clipboard and wait seams, and a rig
// that builds MODefrag over fake siblings, for the fast-free, deep-compress,
// automatic-thread and autorun tests. Workers post to the test thread.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "FakeStateSeams.h"
#include "MOConfig.h"
#include "MODefrag.h"
#include "MOGameHelper.h"
#include "MOProcessList.h"
#include "MORulesList.h"
#include "MOState.h"
#include "ProcessFakes.h"
#include "TempProgramFolder.h"
#include "platform/ClipboardEmptying.h"
#include "platform/MemoryBlocks.h"
#include "platform/WorkerWaits.h"

namespace tarnwick::test {

constexpr uint64_t kMB = 1048576;

// Blocks that are only counted; their addresses are never used.
class FakeBlocks : public platform::MemoryBlocks {
 public:
  std::atomic<int> attempts{0}, commits{0}, touches{0}, releases{0}, badTouches{0};
  int failAt = -1;                        // this 0-based attempt finds no memory
  std::function<void(int)> afterCommit;  // runs on the worker after commit n

  void* Commit(size_t bytes) override {
    const int n = attempts++;
    if (n == failAt || bytes != CMODefrag::kBlockBytes) return nullptr;
    ++commits;
    if (afterCommit) afterCommit(n);
    return reinterpret_cast<void*>(static_cast<ULONG_PTR>(0x100000) * (n + 1));
  }
  void Touch(void* block, size_t bytes) override {
    if (!block || bytes != CMODefrag::kBlockBytes) ++badTouches;
    ++touches;
  }
  void Release(void*) override { ++releases; }
};

// Records which processes were opened for a trim and trimmed; safe to call
// from the worker while the test reads it afterwards.
class RecordingTrimmer : public FakeProcessSystem {
 public:
  std::function<void(DWORD)> beforeTrim;  // runs on the worker
  std::set<DWORD> unopenable;

  HANDLE Open(DWORD access, DWORD processId) override {
    std::lock_guard<std::mutex> guard(lock_);
    accesses_.push_back(access);
    if (unopenable.count(processId)) return nullptr;
    ++open_;
    return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(processId) + 0x10000);
  }
  void Close(HANDLE) override {
    std::lock_guard<std::mutex> guard(lock_);
    --open_;
  }
  bool TrimWorkingSet(HANDLE process) override {
    const DWORD id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(process) - 0x10000);
    if (beforeTrim) beforeTrim(id);
    std::lock_guard<std::mutex> guard(lock_);
    trimmed_.push_back(id);
    return true;
  }

  std::vector<DWORD> Trimmed() {
    std::lock_guard<std::mutex> guard(lock_);
    return trimmed_;
  }
  std::vector<DWORD> Accesses() {
    std::lock_guard<std::mutex> guard(lock_);
    return accesses_;
  }
  int OpenHandles() {
    std::lock_guard<std::mutex> guard(lock_);
    return open_;
  }
  void Forget() {
    std::lock_guard<std::mutex> guard(lock_);
    trimmed_.clear();
    accesses_.clear();
  }

 private:
  std::mutex lock_;
  std::vector<DWORD> trimmed_;
  std::vector<DWORD> accesses_;
  int open_ = 0;
};

class FakeClipboardEmptying : public platform::ClipboardEmptying {
 public:
  bool opens = true, empties = true;
  std::vector<std::string> calls;
  bool OpenUnowned() override {
    calls.push_back("open");
    return opens;
  }
  bool Empty() override {
    calls.push_back("empty");
    return empties;
  }
  void Close() override { calls.push_back("close"); }
};

// Waits without a clock. Sleeps of 1 ms (polls) really wait 1 ms on the
// stop event and are only counted. Longer sleeps are recorded; each returns
// at once while `passes` lasts, after which the sleeping thread parks until
// stopped. Waits for a change are real waits, counted.
class FakeWaits : public platform::WorkerWaits {
 public:
  std::atomic<int> passes{0};
  std::atomic<int> polls{0};

  bool Sleep(HANDLE stop, DWORD milliseconds) override {
    if (milliseconds <= 1) {
      ++polls;
      Changed();
      return WaitForSingleObject(stop, 1) == WAIT_TIMEOUT;
    }
    {
      std::lock_guard<std::mutex> guard(lock_);
      sleeps_.push_back(milliseconds);
      if (passes > 0) {
        --passes;
        changed_.notify_all();
        return true;
      }
      ++parked_;
      changed_.notify_all();
    }
    WaitForSingleObject(stop, INFINITE);
    return false;
  }
  bool WaitForChange(HANDLE stop, HANDLE changed) override {
    {
      std::lock_guard<std::mutex> guard(lock_);
      ++changeWaits_;
      changed_.notify_all();
    }
    HANDLE events[] = {stop, changed};
    return WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
  }

  std::vector<DWORD> Sleeps() {
    std::lock_guard<std::mutex> guard(lock_);
    return sleeps_;
  }
  // Waits (at most 20 s, a safety net) until `parked` threads are parked,
  // `changeWaits` waits for a change have begun and `polls` polls were made.
  bool WaitFor(int parked, int changeWaits = 0, int pollCount = 0) {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, std::chrono::seconds(20), [&] {
      return parked_ >= parked && changeWaits_ >= changeWaits && polls >= pollCount;
    });
  }

 private:
  void Changed() {
    std::lock_guard<std::mutex> guard(lock_);
    changed_.notify_all();
  }

  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<DWORD> sleeps_;
  int parked_ = 0;
  int changeWaits_ = 0;
};

// MODefrag linked to real siblings over fakes: 1 GB of memory with 512 MB
// available, one processor at 0 %, settings in a folder of their own.
struct DefragRig {
  testing::TempProgramFolder folder;
  testing::FakeMemory memory;
  testing::FakeCounters counters;
  testing::FakeClipboard clipboardReader;
  FakeProcessSystem processes;
  FakeShell shell;
  RecordingTrimmer trimmer;
  FakeBlocks blocks;
  FakeClipboardEmptying clipboard;
  FakeWaits waits;
  std::function<void()> duringGameMinute;  // runs on game mode's monitor

  std::unique_ptr<CMOState> state;
  std::unique_ptr<CMOConfig> config;
  CMORulesList blackList, whiteList, smartList;
  std::unique_ptr<CMOProcessList> list;
  std::unique_ptr<CMOGameHelper> game;
  std::unique_ptr<CMODefrag> defrag;
  DWORD thread = 0;

  // `running` are the processes listed at the start, as identifier and name.
  explicit DefragRig(std::vector<std::pair<DWORD, std::wstring>> running = {}) {
    thread = MessageThread();
    memory.Set(1024 * kMB, 512 * kMB);
    counters.processors = 1;
    for (auto& [id, name] : running) processes.Start(id, name);
    state = std::make_unique<CMOState>(memory, counters, clipboardReader);
    config = std::make_unique<CMOConfig>(folder.path(), memory, counters);
    list = std::make_unique<CMOProcessList>(FakeSeams(processes, shell));
    CMOGameHelper::Seams gameSeams;
    gameSeams.shell = &shell;
    gameSeams.windowsFolder = L"C:\\windows\\";
    gameSeams.monitorWait = [this](HANDLE) {
      if (duringGameMinute) duringGameMinute();
      return duringGameMinute != nullptr;
    };
    game = std::make_unique<CMOGameHelper>(gameSeams);
    game->SetProcessList(list.get());

    CMODefrag::Seams seams;
    seams.processes = &trimmer;
    seams.blocks = &blocks;
    seams.clipboard = &clipboard;
    seams.waits = &waits;
    defrag = std::make_unique<CMODefrag>(seams);
    defrag->Link({state.get(), config.get(), list.get(), &blackList, &whiteList, &smartList, game.get()});
    defrag->SetEventThread(thread);
  }
  ~DefragRig() { defrag.reset(); }  // its threads end before the siblings go

  // Writes settings to the file and loads them, past the puts' exclusions.
  void LoadSettings(const wchar_t* section, std::vector<std::pair<const wchar_t*, const wchar_t*>> values) {
    for (auto& [key, value] : values) {
      testing::Bstr s(section), k(key), v(value);
      config->put_ConfigItem(s, k, v);
    }
    config->Load();
  }
  void Checks(bool black, bool white, bool smart, bool idle) {
    LoadSettings(L"AUTO_FREE", {{L"IsCheckBlackList", black ? L"1" : L"0"},
                                {L"IsCheckWhiteList", white ? L"1" : L"0"},
                                {L"IsCheckSmartList", smart ? L"1" : L"0"},
                                {L"IsCheckIdleList", idle ? L"1" : L"0"}});
  }
  void Compress(uint64_t size, unsigned char rounds) {
    config->put_IsCPUProtection(VARIANT_FALSE);
    config->put_ManualCompressSize(size);
    config->put_ManualCompressLevel(rounds);
  }

  // Progress values posted with `message` since the last call.
  std::vector<int> Progress(UINT message) {
    for (const Posted& p : TakePosted()) posted_.push_back(p);
    std::vector<int> values;
    std::vector<Posted> rest;
    for (const Posted& p : posted_) {
      if (p.message == message) {
        values.push_back(static_cast<int>(p.wParam));
      } else {
        rest.push_back(p);
      }
    }
    posted_ = rest;
    return values;
  }
  std::vector<int> FreeProgress() { return Progress(kMsgFastFreeProgress); }
  std::vector<int> CompressProgress() { return Progress(kMsgDeepCompressProgress); }

 private:
  std::vector<Posted> posted_;
};

}  // namespace tarnwick::test
