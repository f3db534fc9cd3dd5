#include "ProcessIcons.h"

#include "platform/StopWait.h"
#include "platform/WorkerWaits.h"

namespace tarnwick {

void ItemIcon::Want(std::wstring path, std::shared_ptr<kit::Handle> hurry) {
  std::lock_guard<std::mutex> guard(lock_);
  if (state_ != State::kNoPath) return;
  path_ = std::move(path);
  hurry_ = std::move(hurry);
  state_ = State::kWanted;
}

void ItemIcon::Take(platform::ShellLaunch& shell) noexcept {
  std::wstring path;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (state_ != State::kWanted) return;
    state_ = State::kTaking;
    path = std::move(path_);
  }
  // Outside the lock: the shell may take its time, and GiveUp must not wait
  // for it.
  kit::Icon icon;
  int imageIndex = 0;
  try {
    icon.Reset(shell.SmallIcon(path.c_str(), imageIndex));
  } catch (...) {
    icon.Reset();  // a failing query: no icon
  }
  {
    std::lock_guard<std::mutex> guard(lock_);
    icon_ = std::move(icon);
    imageIndex_ = icon_ ? imageIndex : 0;
    state_ = State::kTaken;
  }
  taken_.notify_all();
}

void ItemIcon::GiveUp() noexcept {
  {
    std::lock_guard<std::mutex> guard(lock_);
    // One being taken is settled by its taker.
    if (state_ != State::kTaking) state_ = State::kTaken;
    path_.clear();
  }
  taken_.notify_all();
}

std::pair<kit::ComPtr<IPicture>, ULONG> ItemIcon::Answer() {
  std::unique_lock<std::mutex> guard(lock_);
  if (state_ == State::kWanted && hurry_) SetEvent(hurry_->Get());
  taken_.wait(guard, [&] { return state_ != State::kWanted && state_ != State::kTaking; });
  if (icon_ && !picture_) {
    PICTDESC description = {};
    description.cbSizeofstruct = sizeof(description);
    description.picType = PICTYPE_ICON;
    description.icon.hicon = icon_.Get();
    if (SUCCEEDED(OleCreatePictureIndirect(&description, IID_IPicture, TRUE, picture_.OutVoid())) && picture_) {
      icon_.Release();  // the picture owns it from here
      index_ = static_cast<ULONG>(imageIndex_);
    } else {
      icon_.Reset();  // no picture: no icon at all
    }
  }
  return {picture_, index_};
}

IconWorker::IconWorker(platform::ShellLaunch& shell, DWORD delayMs)
    : shell_(shell),
      delayMs_(delayMs),
      hurry_(std::make_shared<kit::Handle>(CreateEventW(nullptr, TRUE, FALSE, nullptr))),
      wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  if (wake_) thread_.Start([this](HANDLE stop) { Run(stop); });
}

void IconWorker::Want(const std::shared_ptr<ItemIcon>& icon, std::wstring path) {
  icon->Want(std::move(path), hurry_);
  bool queued = false;
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (stopping_) {
      icon->GiveUp();
      return;
    }
    if (thread_.Handle()) {
      try {
        queue_.push_back(icon);
        queued = true;
      } catch (...) {
        icon->GiveUp();  // never left waited for
        throw;
      }
    }
  }
  if (queued) {
    SetEvent(wake_.Get());
  } else {
    icon->Take(shell_);
  }
}

void IconWorker::Run(HANDLE stop) {
  // However the worker ends, no icon is left waited for.
  auto giveUpRest = kit::OnExit([this] { RequestStop(); });
  // The client's start-up first, unless somebody waits for an icon.
  if (*hurry_ && !platform::RealStopWait().Sleep(stop, hurry_->Get(), delayMs_)) return;
  // The shell wants COM on the thread that asks it for icons.
  kit::Apartment apartment;
  platform::WorkerWaits& waits = platform::RealWorkerWaits();
  for (;;) {
    std::shared_ptr<ItemIcon> next;
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (stopping_) return;
      if (!queue_.empty()) {
        next = std::move(queue_.front());
        queue_.pop_front();
      }
    }
    if (next) {
      next->Take(shell_);
    } else if (!waits.WaitForChange(stop, wake_.Get())) {
      return;
    }
  }
}

void IconWorker::RequestStop() noexcept {
  std::deque<std::shared_ptr<ItemIcon>> left;
  {
    std::lock_guard<std::mutex> guard(lock_);
    stopping_ = true;
    left.swap(queue_);
  }
  for (const auto& icon : left) icon->GiveUp();
  thread_.RequestStop();
}

void IconWorker::Stop() noexcept {
  RequestStop();
  thread_.Join();
}

}  // namespace tarnwick
