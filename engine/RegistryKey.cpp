#include "RegistryKey.h"

#include <cwchar>
#include <new>

namespace RegTemplate {

namespace {

const char kQueryValue[] = "CRegistryKey::QueryValue()";
const char kSetValue[] = "CRegistryKey::SetValue()";

[[noreturn]] void Fail(const char* operation, DWORD code) { throw CRegistryKey::Exception(operation, code); }

void Check(const char* operation, LONG result) {
  if (result != ERROR_SUCCESS) Fail(operation, static_cast<DWORD>(result));
}

bool IsPredefined(HKEY key) {
  const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,     HKEY_LOCAL_MACHINE,  HKEY_USERS,
                        HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG, HKEY_DYN_DATA};
  for (HKEY root : roots) {
    if (key == root) return true;
  }
  return false;
}

DWORD Swap(DWORD value) {
  return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

}  // namespace

void CCountedRegKey::Close() {
  owned_.Reset();
  handle_ = nullptr;
}

CCountedRegKey* CRegistryKey::NewCCountedRegKey(HKEY key, bool closeOnFailure) {
  // A predefined root belongs to the process, not to the holder.
  const bool predefined = IsPredefined(key);
  kit::RegKey owned(predefined ? nullptr : key);
  // The allocation comes before the arguments are taken: when it fails,
  // `owned` still holds the key.
  auto* holder = new (std::nothrow) CCountedRegKey(std::move(owned), predefined ? key : nullptr);
  if (!holder) {
    if (!closeOnFailure) owned.Release();  // the caller keeps its key
    Fail("CRegistryKey::NewCCountedRegKey()", ERROR_NOT_ENOUGH_MEMORY);
  }
  return holder;
}

CRegistryKey::CRegistryKey(HKEY key, bool closeOnFailure) : holder_(NewCCountedRegKey(key, closeOnFailure)) {}

CRegistryKey::CRegistryKey(HKEY parent, const wchar_t* subkey, REGSAM access) {
  HKEY opened = nullptr;
  Check("CRegistryKey::CRegistryKey(HKEY hKey ...)", RegOpenKeyExW(parent, subkey, 0, access, &opened));
  holder_ = NewCCountedRegKey(opened, true);
}

CRegistryKey::CRegistryKey(const CRegistryKey& other) : holder_(other.holder_) {
  if (holder_) holder_->AddRef();
}

CRegistryKey& CRegistryKey::operator=(const CRegistryKey& other) {
  // Reference the new holder first, so assigning a key to itself is safe;
  // the holder counts its copies itself.
  if (other.holder_) other.holder_->AddRef();
  if (holder_) holder_->Release();
  holder_ = other.holder_;
  return *this;
}

// The holder's own count (its contract: copies share one key).
CRegistryKey::~CRegistryKey() {
  if (holder_) holder_->Release();
}

HKEY CRegistryKey::Handle() const { return holder_ ? holder_->Get() : nullptr; }

HKEY CRegistryKey::Checked(const char* operation) const {
  HKEY key = Handle();
  if (!key) Fail(operation, ERROR_INVALID_HANDLE);
  return key;
}

CRegistryKey CRegistryKey::CreateOrOpenKey(const wchar_t* subkey, wchar_t* keyClass, DWORD options, REGSAM access,
                                           SECURITY_ATTRIBUTES* security, DWORD* disposition) const {
  const char* operation = "CRegistryKey::CreateOrOpenKey()";
  HKEY created = nullptr;
  DWORD how = 0;
  Check(operation, RegCreateKeyExW(Checked(operation), subkey, 0, keyClass, options, access, security, &created, &how));
  if (disposition) *disposition = how;
  CRegistryKey result;
  result.holder_ = NewCCountedRegKey(created, true);
  return result;
}

CRegistryKey CRegistryKey::CreateKey(const wchar_t* subkey, wchar_t* keyClass, DWORD options, REGSAM access,
                                     SECURITY_ATTRIBUTES* security, DWORD* disposition) const {
  DWORD how = 0;
  CRegistryKey result = CreateOrOpenKey(subkey, keyClass, options, access, security, &how);
  if (disposition) *disposition = how;
  // `result` closes the existing key as the exception leaves.
  if (how != REG_CREATED_NEW_KEY) Fail("CRegistryKey::CreateKey()", ERROR_ALREADY_EXISTS);
  return result;
}

bool CRegistryKey::KeyExists(const wchar_t* subkey, REGSAM access) const {
  kit::RegKey opened;
  return Handle() && RegOpenKeyExW(Handle(), subkey, 0, access, opened.Out()) == ERROR_SUCCESS;
}

bool CRegistryKey::ValueExists(const wchar_t* name) const {
  return Handle() && RegQueryValueExW(Handle(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool CRegistryKey::QueryRaw(const wchar_t* name, DWORD a, DWORD b, DWORD* type, std::vector<BYTE>& data) const {
  HKEY key = Checked(kQueryValue);
  DWORD size = 0;
  Check(kQueryValue, RegQueryValueExW(key, name, nullptr, type, nullptr, &size));
  if (*type != a && *type != b) return false;
  data.assign(size, 0);
  // The value may have grown since its size was asked; the call then fails.
  Check(kQueryValue, RegQueryValueExW(key, name, nullptr, type, size ? data.data() : nullptr, &size));
  data.resize(size);
  return true;
}

bool CRegistryKey::QueryValue(const wchar_t* name, DWORD& value) const {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!QueryRaw(name, REG_DWORD, REG_DWORD_BIG_ENDIAN, &type, data)) return false;
  if (data.size() != sizeof(DWORD)) Fail(kQueryValue, 0);
  DWORD read;
  memcpy(&read, data.data(), sizeof(read));
  value = type == REG_DWORD_BIG_ENDIAN ? Swap(read) : read;
  return true;
}

bool CRegistryKey::QueryValue(const wchar_t* name, std::unique_ptr<wchar_t[]>& text) const {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!QueryRaw(name, REG_SZ, REG_EXPAND_SZ, &type, data)) return false;
  // Registry strings need not be terminated, and their size may be odd.
  size_t chars = data.size() / sizeof(wchar_t);
  std::unique_ptr<wchar_t[]> copy(new wchar_t[chars + 1]);
  if (chars) memcpy(copy.get(), data.data(), chars * sizeof(wchar_t));
  copy[chars] = L'\0';
  text = std::move(copy);
  return true;
}

bool CRegistryKey::QueryValue(const wchar_t* name, std::vector<BYTE>& bytes) const {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!QueryRaw(name, REG_BINARY, REG_NONE, &type, data)) return false;
  bytes = std::move(data);
  return true;
}

void CRegistryKey::SetValue(const wchar_t* name, DWORD value, DWORD type) const {
  if (type != REG_DWORD && type != REG_DWORD_BIG_ENDIAN) Fail(kSetValue, ERROR_INVALID_FLAGS);
  DWORD stored = type == REG_DWORD_BIG_ENDIAN ? Swap(value) : value;
  Check(kSetValue, RegSetValueExW(Checked(kSetValue), name, 0, type, reinterpret_cast<const BYTE*>(&stored),
                                  sizeof(stored)));
}

void CRegistryKey::SetValue(const wchar_t* name, const wchar_t* text, DWORD type) const {
  if (type != REG_SZ && type != REG_EXPAND_SZ) Fail(kSetValue, ERROR_INVALID_FLAGS);
  if (!text) text = L"";
  DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
  Check(kSetValue, RegSetValueExW(Checked(kSetValue), name, 0, type, reinterpret_cast<const BYTE*>(text), bytes));
}

void CRegistryKey::SetValue(const wchar_t* name, const BYTE* data, DWORD length) const {
  Check(kSetValue, RegSetValueExW(Checked(kSetValue), name, 0, REG_BINARY, data, length));
}

ULONG DecimalText(const wchar_t* text) {
  if (!text) return 0;
  while (*text == L' ' || *text == L'\t') ++text;
  unsigned long long value = 0;
  for (; *text >= L'0' && *text <= L'9'; ++text) {
    value = value * 10 + static_cast<unsigned>(*text - L'0');
    if (value > 0xFFFFFFFFull) return 0xFFFFFFFFu;
  }
  return static_cast<ULONG>(value);
}

}  // namespace RegTemplate
