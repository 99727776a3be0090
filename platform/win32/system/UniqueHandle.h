// UniqueHandle: one owning wrapper for every kind of Win32 handle, each kind one line below; and
// the scopes of a device context's selected object and of a paint.
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

// A screen DC is released with the null window it was got for.
inline void ReleaseScreenDc(HDC h) {
  ::ReleaseDC(nullptr, h);
}

using UniqueFile = UniqueHandle<HANDLE, ::CloseHandle, -1>;
using UniqueHandleObject = UniqueHandle<HANDLE, ::CloseHandle>;
using UniqueFindHandle = UniqueHandle<HANDLE, ::FindClose, -1>;
using UniqueRegKey = UniqueHandle<HKEY, ::RegCloseKey>;
using UniqueFont = UniqueHandle<HFONT, ::DeleteObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, ::DeleteObject>;
using UniqueWindow = UniqueHandle<HWND, ::DestroyWindow>;
using UniqueScreenDc = UniqueHandle<HDC, ReleaseScreenDc>;
// What the system allocated for the caller with LocalAlloc (security descriptors, SID texts).
using UniqueLocalMemory = UniqueHandle<HLOCAL, ::LocalFree>;

// The object a device context held before SelectObject, selected again when the scope ends.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~SelectedObject() { ::SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// BeginPaint and EndPaint of one WM_PAINT, as a scope.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  ~PaintScope() { ::EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

  HDC Dc() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

}  // namespace zolv::win32
