// Which object of ours a window belongs to, for the procedures that look it
// up on every message. A table of the process's own rather than a window
// property: Wine answers every property lookup from its server.
#pragma once

#include <windows.h>

#include <mutex>
#include <unordered_map>

namespace gui {

template <class T>
class TWindowTable {
 public:
  void Set(HWND window, T* object) {
    std::lock_guard<std::mutex> guard(lock_);
    map_[window] = object;
  }
  // Drops the window's entry while it is still the object's.
  void Forget(HWND window, const T* object) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = map_.find(window);
    if (it != map_.end() && it->second == object) map_.erase(it);
  }
  T* Get(HWND window) {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = map_.find(window);
    return it == map_.end() ? nullptr : it->second;
  }

 private:
  std::mutex lock_;
  std::unordered_map<HWND, T*> map_;
};

}  // namespace gui
