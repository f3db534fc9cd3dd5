// Byte streams: memory, file and (read-only) module resources. Read and Write
// return the number of bytes moved, which may be fewer than asked at the end
// of the data; ReadBuffer and WriteBuffer move all or raise EStreamError.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gui/Object.h"
#include "kit/Own.h"

namespace gui {

enum class TSeekOrigin { Beginning, Current, End };

class TStream : public TObject {
  GUI_CLASS(TStream, TObject)

 public:
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // The new position; EStreamError for a position before the start.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t size);

  std::int64_t Position() { return Seek(0, TSeekOrigin::Current); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::Beginning); }

  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies count bytes from source (all that remains when count is 0).
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
  // The rest of the stream from the current position.
  std::vector<std::uint8_t> ReadRest();
};

// Read-only view of memory that someone else owns.
class TCustomMemoryStream : public TStream {
  GUI_CLASS(TCustomMemoryStream, TStream)

 public:
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return size_; }
  const std::uint8_t* Memory() const { return data_; }

 protected:
  void SetPointer(const std::uint8_t* data, std::int64_t size);

 private:
  const std::uint8_t* data_ = nullptr;
  std::int64_t size_ = 0;
  std::int64_t position_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
  GUI_CLASS(TMemoryStream, TCustomMemoryStream)

 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes);
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  void SetSize(std::int64_t size) override;
  void Clear() { SetSize(0); }
  std::uint8_t* Memory() { return buffer_.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return buffer_; }
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const std::string& fileName);
  void SaveToStream(TStream& stream);
  void SaveToFile(const std::string& fileName);

 private:
  void Rebind();
  std::vector<std::uint8_t> buffer_;
};

enum class TFileMode { OpenRead, OpenReadWrite, Create };

class TFileStream : public TStream {
  GUI_CLASS(TFileStream, TStream)

 public:
  // The file name is in the system code page. EStreamError when the file
  // cannot be opened or created.
  TFileStream(const std::string& fileName, TFileMode mode);
  ~TFileStream() override;
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t size) override;
  HANDLE Handle() const { return handle_.Get(); }

 private:
  kit::File handle_;
  std::string fileName_;
};

// A resource of a module, read in place. EStreamError when it is missing.
class TResourceStream : public TCustomMemoryStream {
  GUI_CLASS(TResourceStream, TCustomMemoryStream)

 public:
  // name and type may be MAKEINTRESOURCEA values.
  TResourceStream(HINSTANCE instance, const char* name, const char* type);
  // Whether the module holds that resource.
  static bool Exists(HINSTANCE instance, const char* name, const char* type);
};

}  // namespace gui
