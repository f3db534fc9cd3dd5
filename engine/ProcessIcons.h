// The icons of the listed processes. An item's icon is the one its program
// file had when the item was made: taken from the shell once, soon after
// that, and kept, so a file renamed or deleted later (updaters do both)
// leaves the icon as it was. The shell's work is done by a worker of the
// list's, in the order the items were made. Under Wine the first icon a
// process asks for costs the shell's set-up (hundreds of milliseconds) and
// each one more a few, and done beside the program's start-up it slows
// that by tens of milliseconds: the worker lets the start-up pass first
// (a second after the list is made) unless an icon is asked for sooner.
#pragma once

#include <windows.h>
#include <olectl.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include <kit/Own.h>

#include "WorkerThread.h"
#include "platform/ShellLaunch.h"

namespace tarnwick {

// One item's icon, taken once. The item and the worker's queue share it, so
// either may let it go first.
class ItemIcon {
 public:
  // The icon of the file at `path` is wanted. Only the first call counts.
  // `hurry` (may be null) is set when somebody waits for the icon.
  void Want(std::wstring path, std::shared_ptr<kit::Handle> hurry = nullptr);
  // Takes the wanted icon through `shell` (nothing when it is not wanted, or
  // given up): the icon and its image-list index, or none when the shell has
  // none. Wakes whoever waits for it.
  void Take(platform::ShellLaunch& shell) noexcept;
  // Gives up an icon not taken yet: none will come (the item was dropped, or
  // the list ends). One being taken is kept.
  void GiveUp() noexcept;

  // The picture and its image-list index; null and 0 when there is none. An
  // icon wanted and not yet taken is waited for (and the worker hurried).
  // The picture is made at the first answer that finds the icon, on the
  // asking thread, and owns the icon from then on.
  std::pair<kit::ComPtr<IPicture>, ULONG> Answer();

 private:
  enum class State { kNoPath, kWanted, kTaking, kTaken };

  std::mutex lock_;
  std::condition_variable taken_;
  State state_ = State::kNoPath;
  std::wstring path_;
  std::shared_ptr<kit::Handle> hurry_;
  kit::Icon icon_;  // until the picture owns it
  int imageIndex_ = 0;
  kit::ComPtr<IPicture> picture_;
  ULONG index_ = 0;  // answered only with a picture
};

// How long the icon worker lets the client's start-up pass before its
// first icon.
constexpr DWORD kIconWorkerDelayMs = 1000;

// The worker that takes the wanted icons, one after another, from
// `delayMs` after its start (sooner when an icon is waited for). Without a
// thread (none could be made) an icon is taken at once where it is wanted.
class IconWorker {
 public:
  // `shell` must outlive the worker; its SmallIcon is called on the worker.
  explicit IconWorker(platform::ShellLaunch& shell, DWORD delayMs = kIconWorkerDelayMs);
  ~IconWorker() { Stop(); }
  IconWorker(const IconWorker&) = delete;
  IconWorker& operator=(const IconWorker&) = delete;

  // Wants `icon` from the file at `path` and queues it.
  void Want(const std::shared_ptr<ItemIcon>& icon, std::wstring path);
  // Gives up the icons still queued and asks the worker to end after the one
  // it takes (if any). Icons wanted from now on are given up at once.
  void RequestStop() noexcept;
  // RequestStop, then waits for the worker.
  void Stop() noexcept;

 private:
  void Run(HANDLE stop);

  platform::ShellLaunch& shell_;
  const DWORD delayMs_;
  const std::shared_ptr<kit::Handle> hurry_;  // an icon is waited for: no more delay
  std::mutex lock_;
  std::deque<std::shared_ptr<ItemIcon>> queue_;
  bool stopping_ = false;
  kit::Handle wake_;     // set when an icon is queued
  WorkerThread thread_;  // none: icons are taken where they are wanted
};

}  // namespace tarnwick
