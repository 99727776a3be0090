// SystemLibrary: Windows DLLs that are not KnownDLLs, loaded from System32 only, and their
// functions called late (LateFunction); and the process's DLL search order. Importing such a
// DLL, or loading it by name through the default search order, would let a file of the same
// name beside the program (in Downloads, say) be loaded instead.
#pragma once

#include <windows.h>

#include <atomic>
#include <utility>

#include "platform/win32/system/UniqueHandle.h"

namespace zolv::win32 {

using UniqueLibrary = UniqueHandle<HMODULE, ::FreeLibrary>;

// From now on, DLLs loaded by name come from System32 only; on a Windows 7 without the update
// that allows this, the current directory at least is no longer searched.
void RestrictDllSearch();

// Loads System32\`fileName`, or returns null.
HMODULE LoadFromSystem32(const wchar_t* fileName);

// The address of `name` in System32\`fileName`, which is loaded for it and kept to the end of
// the process. Throws SystemFailure when either is missing.
void (*ResolveFromSystem32(const wchar_t* fileName, const char* name))();

// A function of a system DLL that the program does not import, called like the function itself
// and resolved on its first call. The DLLs it is used for are part of every supported Windows,
// so a missing function means a broken system, and the call throws. Constant-initialised, so
// a LateFunction at namespace scope needs neither start-up code nor a guard.
template <typename Function>
class LateFunction {
 public:
  constexpr LateFunction(const wchar_t* fileName, const char* name)
      : fileName_(fileName), name_(name) {}
  LateFunction(const LateFunction&) = delete;
  LateFunction& operator=(const LateFunction&) = delete;

  template <typename... Args>
  decltype(auto) operator()(Args&&... args) const {
    return Get()(std::forward<Args>(args)...);
  }

 private:
  Function* Get() const {
    auto address = address_.load(std::memory_order_acquire);
    if (!address) {
      address = ResolveFromSystem32(fileName_, name_);
      address_.store(address, std::memory_order_release);
    }
    return reinterpret_cast<Function*>(address);
  }

  const wchar_t* fileName_;
  const char* name_;
  mutable std::atomic<void (*)()> address_{nullptr};
};

}  // namespace zolv::win32

// Declares `name`, the function of that name in the system DLL `fileName`, as a LateFunction in
// the current namespace: decltype(::name) is only ever unevaluated, so naming it imports nothing.
#define ZOLV_LATE_FUNCTION(fileName, name)                          \
  inline const ::zolv::win32::LateFunction<decltype(::name)> name { \
    fileName, #name                                                 \
  }
