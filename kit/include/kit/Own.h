// Owners for what the system hands out. Each holds one resource, releases it
// when it goes, moves and never copies, so every handle, GDI object, DC and
// COM reference in the program and the engine has exactly one owner.
//
//   kit::Handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
//   kit::MemoryDC dc(CreateCompatibleDC(nullptr));
//   kit::Gdi<HBITMAP> bitmap(CreateCompatibleBitmap(screen, w, h));
//   kit::Selection keep(dc.Get(), bitmap.Get());   // puts the old one back
//   auto undo = kit::OnExit([&] { ... });           // runs on every path
//
// Header only; depends on nothing of ours.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <unknwn.h>

#include <type_traits>
#include <utility>

namespace kit {

// One value of a handle kind; Traits names the empty value and the release.
template <class Traits>
class Unique {
 public:
  using Value = typename Traits::Value;

  Unique() noexcept = default;
  explicit Unique(Value value) noexcept : value_(value) {}
  Unique(Unique&& other) noexcept : value_(other.Release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  ~Unique() { Reset(); }

  Value Get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::Empty(); }
  // Gives the value up without releasing it.
  Value Release() noexcept { return std::exchange(value_, Traits::Empty()); }
  void Reset(Value value = Traits::Empty()) noexcept {
    Value old = std::exchange(value_, value);
    if (old != Traits::Empty()) Traits::Free(old);
  }
  // For an out argument: releases what is held and receives the new value.
  Value* Out() noexcept {
    Reset();
    return &value_;
  }

 private:
  Value value_ = Traits::Empty();
};

namespace traits {
struct Handle {  // kernel objects that report failure as null
  using Value = HANDLE;
  static Value Empty() noexcept { return nullptr; }
  static void Free(Value v) noexcept { CloseHandle(v); }
};
struct File {  // files and snapshots: failure is INVALID_HANDLE_VALUE
  using Value = HANDLE;
  static Value Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static void Free(Value v) noexcept { CloseHandle(v); }
};
struct Find {
  using Value = HANDLE;
  static Value Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static void Free(Value v) noexcept { FindClose(v); }
};
struct RegKey {
  using Value = HKEY;
  static Value Empty() noexcept { return nullptr; }
  static void Free(Value v) noexcept { RegCloseKey(v); }
};
template <class T>
struct Gdi {
  using Value = T;
  static Value Empty() noexcept { return nullptr; }
  static void Free(Value v) noexcept { DeleteObject(v); }
};
struct MemoryDC {
  using Value = HDC;
  static Value Empty() noexcept { return nullptr; }
  static void Free(Value v) noexcept { DeleteDC(v); }
};
struct Icon {
  using Value = HICON;
  static Value Empty() noexcept { return nullptr; }
  static void Free(Value v) noexcept { DestroyIcon(v); }
};
struct Module {
  using Value = HMODULE;
  static Value Empty() noexcept { return nullptr; }
  static void Free(Value v) noexcept { FreeLibrary(v); }
};
struct Menu {
  using Value = HMENU;
  static Value Empty() noexcept { return nullptr; }
  static void Free(Value v) noexcept { DestroyMenu(v); }
};
struct Global {  // GlobalAlloc's memory, until something takes it over
  using Value = HGLOBAL;
  static Value Empty() noexcept { return nullptr; }
  static void Free(Value v) noexcept { GlobalFree(v); }
};
}  // namespace traits

using Handle = Unique<traits::Handle>;
using File = Unique<traits::File>;
using FindHandle = Unique<traits::Find>;
using RegKey = Unique<traits::RegKey>;
template <class T>
using Gdi = Unique<traits::Gdi<T>>;
using MemoryDC = Unique<traits::MemoryDC>;
using Icon = Unique<traits::Icon>;
using Module = Unique<traits::Module>;
using Menu = Unique<traits::Menu>;
using Global = Unique<traits::Global>;

// A DC of a window's client area (GetDC), of the whole window
// (GetWindowDC) or as GetDCEx makes it, given back with ReleaseDC.
class WindowDC {
 public:
  enum Area { Client, Whole };
  explicit WindowDC(HWND window, Area area = Client) noexcept
      : window_(window), dc_(area == Client ? GetDC(window) : GetWindowDC(window)) {}
  // GetDCEx with its DCX_* flags (no update region).
  WindowDC(HWND window, DWORD flags) noexcept : window_(window), dc_(GetDCEx(window, nullptr, flags)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC Get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint and EndPaint.
class PaintDC {
 public:
  explicit PaintDC(HWND window) noexcept : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC() { EndPaint(window_, &paint_); }
  HDC Get() const noexcept { return dc_; }
  const PAINTSTRUCT& Paint() const noexcept { return paint_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Selects an object into a DC and puts the one it replaced back.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// SaveDC and RestoreDC: clip, origin and selections come back together.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) noexcept : dc_(dc), saved_(dc ? SaveDC(dc) : 0) {}
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;
  ~SavedDC() {
    if (saved_) RestoreDC(dc_, saved_);
  }

 private:
  HDC dc_;
  int saved_;
};

// One reference to a COM interface.
template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  // Takes over the reference of a pointer a COM call handed out.
  static ComPtr Adopt(T* p) noexcept {
    ComPtr r;
    r.p_ = p;
    return r;
  }
  // Adds a reference of its own.
  static ComPtr Share(T* p) noexcept {
    if (p) p->AddRef();
    return Adopt(p);
  }
  ComPtr(const ComPtr& other) noexcept : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() noexcept {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  T* Release() noexcept { return std::exchange(p_, nullptr); }
  // For an [out] argument.
  T** Out() noexcept {
    Reset();
    return &p_;
  }
  void** OutVoid() noexcept { return reinterpret_cast<void**>(Out()); }
  T* Get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // QueryInterface into another holder; empty when the object lacks it.
  template <class U>
  ComPtr<U> As(REFIID iid) const noexcept {
    ComPtr<U> result;
    if (p_) p_->QueryInterface(iid, result.OutVoid());
    return result;
  }

 private:
  T* p_ = nullptr;
};

// One OLE string.
class BStr {
 public:
  BStr() noexcept = default;
  explicit BStr(const wchar_t* text) noexcept : value_(text ? SysAllocString(text) : nullptr) {}
  BStr(const wchar_t* text, UINT length) noexcept : value_(SysAllocStringLen(text, length)) {}
  BStr(BStr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  BStr& operator=(BStr&& other) noexcept {
    if (this != &other) {
      SysFreeString(value_);
      value_ = std::exchange(other.value_, nullptr);
    }
    return *this;
  }
  BStr(const BStr&) = delete;
  BStr& operator=(const BStr&) = delete;
  ~BStr() { SysFreeString(value_); }

  BSTR Get() const noexcept { return value_; }
  UINT Length() const noexcept { return SysStringLen(value_); }
  // Hands the string to a caller that frees it (an [out] argument).
  BSTR Release() noexcept { return std::exchange(value_, nullptr); }
  BSTR* Out() noexcept {
    SysFreeString(std::exchange(value_, nullptr));
    return &value_;
  }

 private:
  BSTR value_ = nullptr;
};

// This thread in a COM apartment for a scope: CoInitializeEx, and
// CoUninitialize only when that succeeded (S_FALSE too: the calls pair up).
class Apartment {
 public:
  explicit Apartment(DWORD model = COINIT_APARTMENTTHREADED) noexcept
      : result_(CoInitializeEx(nullptr, model)) {}
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
  ~Apartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  // S_OK, S_FALSE (already in one of this model), RPC_E_CHANGED_MODE...
  HRESULT Result() const noexcept { return result_; }

 private:
  HRESULT result_;
};

// Runs a function when the scope ends, on every path, unless dismissed.
template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) noexcept(std::is_nothrow_move_constructible_v<F>) : f_(std::move(f)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ~ScopeExit() {
    if (armed_) f_();
  }
  void Dismiss() noexcept { armed_ = false; }

 private:
  F f_;
  bool armed_ = true;
};

template <class F>
[[nodiscard]] ScopeExit<F> OnExit(F f) {
  return ScopeExit<F>(std::move(f));
}

}  // namespace kit
