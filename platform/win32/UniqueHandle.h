// UniqueHandle: one owning wrapper for every kind of Win32 handle; each kind is one line below.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace zolv::win32 {

// `Invalid` is the kind's empty value as a number: a pointer such as INVALID_HANDLE_VALUE cannot
// be a template argument.
template <typename T, auto Close, std::intptr_t Invalid = 0>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != Empty(); }

  T release() { return std::exchange(handle_, Empty()); }
  void reset(T handle = Empty()) {
    if (handle_ != Empty())
      Close(handle_);
    handle_ = handle;
  }

  // For out-parameters of creating calls: releases what is held and exposes the slot.
  T* put() {
    reset();
    return &handle_;
  }

 private:
  static T Empty() { return reinterpret_cast<T>(Invalid); }

  T handle_ = Empty();
};

inline void CloseFileHandle(HANDLE h) {
  ::CloseHandle(h);
}
inline void CloseFind(HANDLE h) {
  ::FindClose(h);
}
inline void CloseRegKey(HKEY h) {
  ::RegCloseKey(h);
}
inline void DeleteGdiObject(HGDIOBJ h) {
  ::DeleteObject(h);
}
inline void DestroyWindowHandle(HWND h) {
  ::DestroyWindow(h);
}
inline void ReleaseScreenDc(HDC h) {
  ::ReleaseDC(nullptr, h);
}

using UniqueFile = UniqueHandle<HANDLE, CloseFileHandle, -1>;
using UniqueHandleObject = UniqueHandle<HANDLE, CloseFileHandle>;
using UniqueFindHandle = UniqueHandle<HANDLE, CloseFind, -1>;
using UniqueRegKey = UniqueHandle<HKEY, CloseRegKey>;
using UniqueFont = UniqueHandle<HFONT, DeleteGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteGdiObject>;
using UniqueWindow = UniqueHandle<HWND, DestroyWindowHandle>;
using UniqueScreenDc = UniqueHandle<HDC, ReleaseScreenDc>;

}  // namespace zolv::win32
