#include "PngStream.h"

#include <algorithm>
#include <cstring>

namespace png {

size_t TPngMemoryStream::Read(void* buffer, size_t count) {
  const size_t n = std::min(count, bytes_.size() - position_);
  if (n) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

size_t TPngMemoryStream::Write(const void* buffer, size_t count) {
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  if (count) std::memcpy(bytes_.data() + position_, buffer, count);
  position_ += count;
  return count;
}

void TPngMemoryStream::SetPosition(uint64_t position) {
  position_ = size_t(std::min<uint64_t>(position, bytes_.size()));
}

}  // namespace png
