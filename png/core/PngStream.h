// The byte stream the codec reads from and writes to. The picture class wraps
// the GUI layer's streams in it; tests, the fuzzer and the benchmark use
// TPngMemoryStream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace png {

class TPngStream {
public:
  virtual ~TPngStream() = default;
  // Both answer the number of bytes moved, which may be short at the end.
  virtual size_t Read(void* buffer, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t count) = 0;
  virtual uint64_t Position() const = 0;
  virtual void SetPosition(uint64_t position) = 0;  // clamped to the size
  virtual uint64_t Size() const = 0;

  uint64_t Remaining() const {
    uint64_t pos = Position(), size = Size();
    return pos < size ? size - pos : 0;
  }
  bool ReadExact(void* buffer, size_t count) { return Read(buffer, count) == count; }
};

class TPngMemoryStream : public TPngStream {
public:
  TPngMemoryStream() = default;
  explicit TPngMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  TPngMemoryStream(const uint8_t* data, size_t size) : bytes_(data, data + size) {}

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  uint64_t Position() const override { return position_; }
  void SetPosition(uint64_t position) override;
  uint64_t Size() const override { return bytes_.size(); }

  const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
  std::vector<uint8_t> bytes_;
  size_t position_ = 0;
};

}  // namespace png
