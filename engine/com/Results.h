// How every engine COM method answers. Each body runs inside Barrier, so no
// exception crosses the ABI, and fills its out argument with one helper:
//
//   STDMETHODIMP CMOState::get_AvailPhysicalMemory(UINT64* pVal) {
//     return com::Barrier([&] { return com::Out(pVal, AvailablePhysical()); });
//   }
//
// Results follow the contract: S_OK when done, S_FALSE when the call was
// valid but nothing was done; errors only for a null out pointer, no memory,
// or an exception stopped here (a failed Windows call keeps its code).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <exception>
#include <new>
#include <string_view>

#include "EngineError.h"

namespace tarnwick::com {

constexpr HRESULT Done(bool done) noexcept { return done ? S_OK : S_FALSE; }

// OLE booleans: only VARIANT_TRUE (-1) counts as true; a get gives -1 or 0.
constexpr bool IsTrue(VARIANT_BOOL value) noexcept { return value == VARIANT_TRUE; }
constexpr VARIANT_BOOL OleBool(bool value) noexcept { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// Fills an out argument; E_POINTER for a null one, else `result`.
template <class T, class V>
HRESULT Out(T* out, V value, HRESULT result = S_OK) noexcept {
  if (!out) return E_POINTER;
  *out = static_cast<T>(value);
  return result;
}

inline HRESULT OutBool(VARIANT_BOOL* out, bool value, HRESULT result = S_OK) noexcept {
  return Out(out, OleBool(value), result);
}

// A new string for the caller to free; E_OUTOFMEMORY when none can be made.
inline HRESULT OutString(BSTR* out, std::wstring_view text, HRESULT result = S_OK) noexcept {
  if (!out) return E_POINTER;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? result : E_OUTOFMEMORY;
}

// An object with a reference added for the caller; a null one gives S_FALSE.
template <class Interface, class Object>
HRESULT OutObject(Interface** out, Object* object) noexcept {
  if (!out) return E_POINTER;
  *out = object;
  if (!object) return S_FALSE;
  object->AddRef();
  return S_OK;
}

// The answer for a failed Windows call: its code as an HRESULT, so the
// client's message names the system's error; a code that would read as
// success (none was set) is E_FAIL.
inline HRESULT Win32Result(DWORD code) noexcept {
  const HRESULT result = HRESULT_FROM_WIN32(code);
  return FAILED(result) ? result : E_FAIL;
}

// Runs a COM method's body (or a thread's, which ignores the result):
// std::bad_alloc becomes E_OUTOFMEMORY, a Win32Error its code
// (Win32Result), any other exception E_FAIL, and a debugger hears of it.
template <class Body>
HRESULT Barrier(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    ReportException("Barrier", "out of memory");
    return E_OUTOFMEMORY;
  } catch (const Win32Error& e) {
    ReportException("Barrier", e.Operation());
    return Win32Result(e.Code());
  } catch (const std::exception& e) {
    ReportException("Barrier", e.what());
    return E_FAIL;
  } catch (...) {
    ReportException("Barrier", "an exception of no known type");
    return E_FAIL;
  }
}

// Property gets that hand out a value already at hand, inside the barrier
// like every other method.
template <class T, class V>
HRESULT Get(T* out, V value) noexcept {
  return Barrier([&] { return Out(out, value); });
}
inline HRESULT GetBool(VARIANT_BOOL* out, bool value) noexcept {
  return Barrier([&] { return OutBool(out, value); });
}
inline HRESULT GetString(BSTR* out, std::wstring_view text) noexcept {
  return Barrier([&] { return OutString(out, text); });
}

}  // namespace tarnwick::com
