// What only paints waits while nobody can see it: an update made unseen is
// kept (the latest one only) and run when the view shows again, before it
// paints. The engine work behind it goes on at its own pace.
#pragma once

#include <functional>
#include <utility>

namespace orvane {

class TSeenOnly {
 public:
  using TUpdate = std::function<void()>;

  // Runs `update` now when the view is seen; otherwise keeps it in place of
  // the one kept before.
  void Update(bool seen, TUpdate update) {
    if (!seen) {
      held_ = std::move(update);
      return;
    }
    held_ = nullptr;
    update();
  }
  // Runs the update kept back, once; nothing when there is none.
  void CatchUp() {
    if (TUpdate update = std::exchange(held_, nullptr)) update();
  }
  bool Behind() const { return static_cast<bool>(held_); }

 private:
  TUpdate held_;
};

}  // namespace orvane
