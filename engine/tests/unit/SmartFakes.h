// Fakes of the foreground, clock and wait seams, and an engine-like rig of
// settings, smart list, game mode and a smart optimizer over fake
// processes, for the smart analyzer and CPU adjustment tests.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "FakeStateSeams.h"
#include "MOConfig.h"
#include "MOGameHelper.h"
#include "MORulesList.h"
#include "MOSmartOpti.h"
#include "ProcessFakes.h"
#include "TempProgramFolder.h"
#include "platform/FileWrites.h"
#include "platform/ForegroundWindow.h"
#include "platform/LocalClock.h"
#include "platform/StopWait.h"

namespace tarnwick::test {

// Answers the foreground process from a script, in a loop. Call k (from 0)
// returns only once Finish has let more than k calls through, so a test
// knows exactly how many samples the thread has finished.
class ScriptedForeground : public platform::ForegroundWindow {
 public:
  explicit ScriptedForeground(std::vector<DWORD> script) : script_(std::move(script)) {}

  DWORD ProcessId() override {
    std::unique_lock<std::mutex> lock(lock_);
    const size_t call = calls_++;
    changed_.notify_all();
    changed_.wait(lock, [&] { return open_ || call < allowed_; });
    return script_[call % script_.size()];
  }

  // Every call returns at once from now on.
  void Open() {
    std::lock_guard<std::mutex> lock(lock_);
    open_ = true;
    changed_.notify_all();
  }
  // Lets calls return until `count` have, then waits until the next one has
  // begun: the thread has finished exactly `count` rounds.
  void Finish(size_t count) {
    {
      std::lock_guard<std::mutex> lock(lock_);
      allowed_ = std::max(allowed_, count);
      changed_.notify_all();
    }
    WaitForCalls(count + 1);
  }
  // Waits until `count` calls have begun.
  void WaitForCalls(size_t count) {
    std::unique_lock<std::mutex> lock(lock_);
    changed_.wait(lock, [&] { return calls_ >= count; });
  }
  size_t Calls() {
    std::lock_guard<std::mutex> lock(lock_);
    return calls_;
  }

 private:
  const std::vector<DWORD> script_;
  std::mutex lock_;
  std::condition_variable changed_;
  size_t calls_ = 0;
  size_t allowed_ = 0;
  bool open_ = false;
};

// The real writes, counted.
class CountingFileWrites : public platform::FileWrites {
 public:
  bool WriteProfileValue(const std::wstring& path, const wchar_t* section, const wchar_t* key,
                         const wchar_t* value) override {
    ++profileValues;
    return platform::RealFileWrites().WriteProfileValue(path, section, key, value);
  }
  bool ReplaceText(const std::wstring& path, const std::wstring& text) override {
    ++replaced;
    return platform::RealFileWrites().ReplaceText(path, text);
  }
  std::atomic<int> profileValues{0};
  std::atomic<int> replaced{0};
};

class FixedClock : public platform::LocalClock {
 public:
  SYSTEMTIME Now() override { return now; }
  void SetDay(WORD year, WORD month, WORD day) { now = {year, month, 0, day, 12, 0, 0, 0}; }
  SYSTEMTIME now = {2026, 3, 0, 7, 12, 0, 0, 0};
};

// Real waits cut to at most 1 ms, so the threads run through their loops
// at once; counts the waits of a thread standing still (those that a
// settings change can end).
class QuickWait : public platform::StopWait {
 public:
  bool Sleep(HANDLE stop, HANDLE wake, DWORD ms) override {
    if (wake) {
      std::lock_guard<std::mutex> lock(lock_);
      ++idle_;
      changed_.notify_all();
    }
    const HANDLE handles[2] = {stop, wake};
    return WaitForMultipleObjects(wake ? 2 : 1, handles, FALSE, std::min<DWORD>(ms, 1)) != WAIT_OBJECT_0;
  }
  // Waits until `count` such waits have begun; false as soon as `failed`
  // holds instead (looked at every few milliseconds).
  bool WaitForIdleWaits(size_t count, const std::function<bool()>& failed) {
    std::unique_lock<std::mutex> lock(lock_);
    while (idle_ < count) {
      if (failed()) return false;
      changed_.wait_for(lock, std::chrono::milliseconds(5));
    }
    return true;
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  size_t idle_ = 0;
};

// Settings, smart list and game mode in a program folder of their own, and
// a smart optimizer linked to them over fake processes. The foreground
// script must be given before Opti() is first called.
struct SmartRig {
  SmartRig() {
    memory.Set(4ull << 30, 2ull << 30);
    config = std::make_unique<CMOConfig>(folder.path(), memory, counters);
    smartList.Open(L"Config\\smart.lst", folder.path());
    CMOGameHelper::Seams gameSeams;
    gameSeams.shell = &shell;
    gameSeams.windowsFolder = L"C:\\Windows\\";
    gameSeams.monitorWait = [](HANDLE) { return false; };
    game = std::make_unique<CMOGameHelper>(std::move(gameSeams));
  }
  ~SmartRig() {
    if (foreground) foreground->Open();  // lets a waiting thread see its stop
    opti.reset();
  }

  CMOSmartOpti& Opti(std::vector<DWORD> script) {
    foreground = std::make_unique<ScriptedForeground>(std::move(script));
    CMOSmartOpti::Seams seams;
    seams.foreground = foreground.get();
    seams.processes = &processes;
    seams.clock = &clock;
    seams.wait = &wait;
    seams.programFolder = folder.path();
    opti = std::make_unique<CMOSmartOpti>(std::move(seams));
    opti->SetConfig(config.get());
    opti->SetSmartList(&smartList);
    opti->SetGameHelper(game.get());
    opti->SetEventThread(MessageThread());
    return *opti;
  }

  void StartGame() {
    BSTR launcher = SysAllocString(L"C:\\Games\\game.exe");
    game->StartGameMode(launcher, nullptr, VARIANT_FALSE);
    SysFreeString(launcher);
  }

  testing::TempProgramFolder folder;
  testing::FakeMemory memory;
  testing::FakeCounters counters;
  std::unique_ptr<CMOConfig> config;
  CMORulesList smartList;
  FakeShell shell;
  std::unique_ptr<CMOGameHelper> game;
  FakeProcessSystem processes;
  FixedClock clock;
  QuickWait wait;
  std::unique_ptr<ScriptedForeground> foreground;
  std::unique_ptr<CMOSmartOpti> opti;
};

}  // namespace tarnwick::test
