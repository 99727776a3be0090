// SystemLibrary: a Windows DLL that is not a KnownDLL, loaded from System32 only, and its
// functions; and the process's DLL search order. Importing such a DLL, or loading it by name
// through the default search order, would let a file of the same name beside the program (in
// Downloads, say) be loaded instead.
#pragma once

#include <windows.h>

#include "platform/win32/UniqueHandle.h"

namespace zolv::win32 {

inline void FreeLibraryHandle(HMODULE module) {
  ::FreeLibrary(module);
}
using UniqueLibrary = UniqueHandle<HMODULE, FreeLibraryHandle>;

// From now on, DLLs loaded by name come from System32 only; on a Windows 7 without the update
// that allows this, the current directory at least is no longer searched.
void RestrictDllSearch();

// Loads System32\`fileName`, or returns null.
HMODULE LoadFromSystem32(const wchar_t* fileName);

class SystemLibrary {
 public:
  // Loads System32\`fileName`; the library is empty when that fails.
  explicit SystemLibrary(const wchar_t* fileName) : module_(LoadFromSystem32(fileName)) {}

  explicit operator bool() const { return static_cast<bool>(module_); }
  HMODULE get() const { return module_.get(); }

  // The exported function `name`, or null. `Function` is its type, e.g. decltype(::Name): only
  // ever unevaluated, so that naming it imports nothing.
  template <typename Function>
  Function* Find(const char* name) const {
    if (!module_)
      return nullptr;
    // Through a plain function pointer: FARPROC's own signature means nothing.
    auto address = reinterpret_cast<void (*)()>(::GetProcAddress(module_.get(), name));
    return reinterpret_cast<Function*>(address);
  }

 private:
  UniqueLibrary module_;
};

}  // namespace zolv::win32
