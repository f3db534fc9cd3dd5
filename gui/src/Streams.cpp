#include "gui/Streams.h"

#include <algorithm>
#include <cstring>

namespace gui {

GUI_DEFINE_CLASS(TStream) {}
GUI_DEFINE_CLASS(TCustomMemoryStream) {}
GUI_DEFINE_CLASS(TMemoryStream) {}
GUI_DEFINE_CLASS(TFileStream) {}
GUI_DEFINE_CLASS(TResourceStream) {}

std::int64_t TStream::Size() {
  std::int64_t here = Seek(0, TSeekOrigin::Current);
  std::int64_t end = Seek(0, TSeekOrigin::End);
  Seek(here, TSeekOrigin::Beginning);
  return end;
}

void TStream::SetSize(std::int64_t) { throw EStreamError("The stream's size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EStreamError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EStreamError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::int64_t>(count, 64 * 1024)));
  std::int64_t left = count;
  while (left > 0) {
    std::int64_t n = std::min<std::int64_t>(left, static_cast<std::int64_t>(chunk.size()));
    source.ReadBuffer(chunk.data(), n);
    WriteBuffer(chunk.data(), n);
    left -= n;
  }
  return count;
}

std::vector<std::uint8_t> TStream::ReadRest() {
  std::int64_t left = std::max<std::int64_t>(0, Size() - Position());
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(left));
  bytes.resize(static_cast<std::size_t>(Read(bytes.data(), left)));
  return bytes;
}

// --- memory --------------------------------------------------------------------

std::int64_t TCustomMemoryStream::Read(void* buffer, std::int64_t count) {
  if (count <= 0 || position_ >= size_) return 0;
  std::int64_t n = std::min(count, size_ - position_);
  std::memcpy(buffer, data_ + position_, static_cast<std::size_t>(n));
  position_ += n;
  return n;
}

std::int64_t TCustomMemoryStream::Write(const void*, std::int64_t) { return 0; }

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = origin == TSeekOrigin::Beginning ? 0 : origin == TSeekOrigin::Current ? position_ : size_;
  if (base + offset < 0) throw EStreamError("Seek before the start of the stream");
  position_ = base + offset;  // past the end is allowed; reads there return 0
  return position_;
}

void TCustomMemoryStream::SetPointer(const std::uint8_t* data, std::int64_t size) {
  data_ = data;
  size_ = size;
}

TMemoryStream::TMemoryStream(std::vector<std::uint8_t> bytes) : buffer_(std::move(bytes)) { Rebind(); }

void TMemoryStream::Rebind() { SetPointer(buffer_.data(), static_cast<std::int64_t>(buffer_.size())); }

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  std::int64_t pos = Position();
  if (pos + count > static_cast<std::int64_t>(buffer_.size())) {
    buffer_.resize(static_cast<std::size_t>(pos + count));
    Rebind();
  }
  std::memcpy(buffer_.data() + pos, buffer, static_cast<std::size_t>(count));
  Seek(pos + count, TSeekOrigin::Beginning);
  return count;
}

void TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0) throw EStreamError("Negative stream size");
  std::int64_t pos = Position();
  buffer_.resize(static_cast<std::size_t>(size));
  Rebind();
  if (pos > size) Seek(size, TSeekOrigin::Beginning);
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  buffer_ = stream.ReadRest();
  Rebind();
  SetPosition(0);
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, TFileMode::OpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream) {
  stream.WriteBuffer(buffer_.data(), static_cast<std::int64_t>(buffer_.size()));
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream file(fileName, TFileMode::Create);
  SaveToStream(file);
}

// --- files ---------------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, TFileMode mode) : fileName_(fileName) {
  DWORD access = GENERIC_READ;
  DWORD share = FILE_SHARE_READ;
  DWORD disposition = OPEN_EXISTING;
  if (mode == TFileMode::OpenReadWrite) {
    access |= GENERIC_WRITE;
    share = 0;
  } else if (mode == TFileMode::Create) {
    access |= GENERIC_WRITE;
    share = 0;
    disposition = CREATE_ALWAYS;
  }
  handle_.Reset(CreateFileA(fileName.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle_)
    throw EStreamError((mode == TFileMode::Create ? "Cannot create file \"" : "Cannot open file \"") + fileName +
                       "\"");
}

TFileStream::~TFileStream() = default;

namespace {

// Moves count bytes in pieces the system calls take; stops at the first
// piece that moves nothing. `step` moves one piece and reports the bytes.
template <class Step>
std::int64_t Transfer(std::int64_t count, Step step) {
  std::int64_t total = 0;
  while (count > 0) {
    DWORD moved = 0;
    if (!step(total, static_cast<DWORD>(std::min<std::int64_t>(count, 1 << 30)), moved) || moved == 0) break;
    total += moved;
    count -= moved;
  }
  return total;
}

}  // namespace

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  return Transfer(count, [&](std::int64_t at, DWORD want, DWORD& got) {
    return ReadFile(handle_.Get(), out + at, want, &got, nullptr) != 0;
  });
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  auto* in = static_cast<const std::uint8_t*>(buffer);
  return Transfer(count, [&](std::int64_t at, DWORD want, DWORD& put) {
    return WriteFile(handle_.Get(), in + at, want, &put, nullptr) != 0;
  });
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  DWORD method = origin == TSeekOrigin::Beginning ? FILE_BEGIN : origin == TSeekOrigin::Current ? FILE_CURRENT : FILE_END;
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(handle_.Get(), distance, &result, method))
    throw EStreamError("Seek error in \"" + fileName_ + "\"");
  return result.QuadPart;
}

void TFileStream::SetSize(std::int64_t size) {
  std::int64_t pos = Position();
  Seek(size, TSeekOrigin::Beginning);
  if (!SetEndOfFile(handle_.Get())) throw EStreamError("Cannot change the size of \"" + fileName_ + "\"");
  Seek(std::min(pos, size), TSeekOrigin::Beginning);
}

// --- resources -----------------------------------------------------------------

namespace {

HRSRC FindRes(HINSTANCE instance, const char* name, const char* type) {
  return FindResourceA(instance, name, type);
}

std::string ResName(const char* name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
  return name;
}

}  // namespace

TResourceStream::TResourceStream(HINSTANCE instance, const char* name, const char* type) {
  HRSRC info = FindRes(instance, name, type);
  HGLOBAL global = info ? LoadResource(instance, info) : nullptr;
  const void* data = global ? LockResource(global) : nullptr;
  if (!data) throw EStreamError("Resource " + ResName(name) + " not found");
  SetPointer(static_cast<const std::uint8_t*>(data), SizeofResource(instance, info));
}

bool TResourceStream::Exists(HINSTANCE instance, const char* name, const char* type) {
  return FindRes(instance, name, type) != nullptr;
}

}  // namespace gui
