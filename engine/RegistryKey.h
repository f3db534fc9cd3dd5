// A counted registry key that turns every failing registry call into an
// exception carrying the operation's name and the Windows error code. Copies
// share one handle, closed when the last copy goes. The tuning code catches
// the exceptions in each of its routines.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <kit/Own.h>

#include "EngineError.h"

namespace RegTemplate {

// A handle shared by counted references. The count changes only by
// interlocked operations, so copies may be released on different threads.
template <class Handle, class Derived>
class TReferenceCounted {
 public:
  TReferenceCounted(const TReferenceCounted&) = delete;
  TReferenceCounted& operator=(const TReferenceCounted&) = delete;

  Handle Get() const { return handle_; }
  void AddRef() { InterlockedIncrement(&refs_); }
  // At zero the handle is closed and the holder deleted.
  void Release() {
    if (InterlockedDecrement(&refs_) == 0) {
      Close();
      delete static_cast<Derived*>(this);
    }
  }

  // Closes the handle; never throws.
  virtual void Close() = 0;
  virtual ~TReferenceCounted() = default;

 protected:
  explicit TReferenceCounted(Handle handle) : handle_(handle) {}
  Handle handle_;

 private:
  LONG refs_ = 1;
};

class CCountedRegKey : public TReferenceCounted<HKEY, CCountedRegKey> {
 public:
  explicit CCountedRegKey(kit::RegKey key, HKEY root = nullptr)
      : TReferenceCounted(key ? key.Get() : root), owned_(std::move(key)) {}
  void Close() override;

 private:
  kit::RegKey owned_;  // empty for a predefined root, which belongs to the process
};

class CRegistryKey {
 public:
  // The engine's failed-call exception: the operation's name and the error.
  using Exception = tarnwick::Win32Error;

  // An empty key; every operation on it throws ERROR_INVALID_HANDLE.
  CRegistryKey() = default;
  // Wraps `key` (a predefined root or an opened handle) in a new holder.
  // When no holder can be made, the handle is closed if `closeOnFailure`.
  explicit CRegistryKey(HKEY key, bool closeOnFailure = true);
  // Opens `subkey` of `parent` (RegOpenKeyExW).
  CRegistryKey(HKEY parent, const wchar_t* subkey, REGSAM access);
  CRegistryKey(const CRegistryKey& other);
  CRegistryKey& operator=(const CRegistryKey& other);
  ~CRegistryKey();

  HKEY Handle() const;

  // RegCreateKeyExW under this key; `disposition` may be null.
  CRegistryKey CreateOrOpenKey(const wchar_t* subkey, wchar_t* keyClass, DWORD options, REGSAM access,
                               SECURITY_ATTRIBUTES* security, DWORD* disposition = nullptr) const;
  // As CreateOrOpenKey, but an existing key is closed and refused with ERROR_ALREADY_EXISTS.
  CRegistryKey CreateKey(const wchar_t* subkey, wchar_t* keyClass, DWORD options, REGSAM access,
                         SECURITY_ATTRIBUTES* security, DWORD* disposition = nullptr) const;

  bool KeyExists(const wchar_t* subkey, REGSAM access) const;
  // `name` null or empty: the default value.
  bool ValueExists(const wchar_t* name) const;

  // Each QueryValue fills its output only for the types it reads and answers
  // whether it did; a value of another type is left alone without a failure.
  // REG_DWORD and REG_DWORD_BIG_ENDIAN (swapped to host order); 4 bytes exactly.
  bool QueryValue(const wchar_t* name, DWORD& value) const;
  // REG_SZ and REG_EXPAND_SZ; the buffer always ends in a zero, even when the
  // stored value lacks one.
  bool QueryValue(const wchar_t* name, std::unique_ptr<wchar_t[]>& text) const;
  // REG_BINARY and REG_NONE.
  bool QueryValue(const wchar_t* name, std::vector<BYTE>& bytes) const;

  // `type` REG_DWORD or REG_DWORD_BIG_ENDIAN, else ERROR_INVALID_FLAGS.
  void SetValue(const wchar_t* name, DWORD value, DWORD type = REG_DWORD) const;
  // `type` REG_SZ or REG_EXPAND_SZ, else ERROR_INVALID_FLAGS. Writes the terminator too.
  void SetValue(const wchar_t* name, const wchar_t* text, DWORD type = REG_SZ) const;
  // REG_BINARY.
  void SetValue(const wchar_t* name, const BYTE* data, DWORD length) const;

 private:
  static CCountedRegKey* NewCCountedRegKey(HKEY key, bool closeOnFailure);
  // Type and size of a value, then its data when the type is one of `a`, `b`.
  bool QueryRaw(const wchar_t* name, DWORD a, DWORD b, DWORD* type, std::vector<BYTE>& data) const;
  HKEY Checked(const char* operation) const;

  CCountedRegKey* holder_ = nullptr;
};

// A number kept as registry text: leading blanks skipped, then decimal
// digits up to the first other character; none gives 0, too many saturate.
ULONG DecimalText(const wchar_t* text);

}  // namespace RegTemplate
