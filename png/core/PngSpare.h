// One spare object of a kind kept between images. What costs about as much
// to make as a small picture costs to decode (zlib's state and window,
// buffers, gamma tables) is made once and handed from image to image. Any
// thread may take the spare; one that finds it taken makes its own.
#pragma once

#include <atomic>
#include <memory>

namespace png {

template <class T>
class TSpare {
public:
  TSpare() = default;
  TSpare(const TSpare&) = delete;
  TSpare& operator=(const TSpare&) = delete;
  ~TSpare() { delete slot_.exchange(nullptr); }

  // The spare, or null when there is none.
  std::unique_ptr<T> Take() { return std::unique_ptr<T>(slot_.exchange(nullptr)); }
  // Keeps the object for the next Take; a spare already there goes.
  void Keep(std::unique_ptr<T> object) { delete slot_.exchange(object.release()); }

private:
  std::atomic<T*> slot_{nullptr};
};

}  // namespace png
