#include "platform/win32/system/SystemLibrary.h"

#include <string>

#include "platform/win32/system/SystemError.h"

namespace zolv::win32 {

namespace {

// SetDefaultDllDirectories and the LOAD_LIBRARY_SEARCH_* flags came to Windows 7 with update
// KB2533623; importing the function would keep the program from starting without it.
decltype(::SetDefaultDllDirectories)* FindSetDefaultDllDirectories() {
  auto address = reinterpret_cast<void (*)()>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"));
  return reinterpret_cast<decltype(::SetDefaultDllDirectories)*>(address);
}

bool HasSearchFlags() {
  static const bool has = FindSetDefaultDllDirectories() != nullptr;
  return has;
}

}  // namespace

void RestrictDllSearch() {
  if (auto setDefaultDllDirectories = FindSetDefaultDllDirectories()) {
    setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return;
  }
  // The most that is left: the current directory leaves the search order.
  ::SetDllDirectoryW(L"");
}

HMODULE LoadFromSystem32(const wchar_t* fileName) {
  if (HasSearchFlags())
    return ::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // By its full name, and the library's own imports are looked for in System32 first.
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return nullptr;
  const std::wstring path = std::wstring(folder, length) + L'\\' + fileName;
  return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void (*ResolveFromSystem32(const wchar_t* fileName, const char* name))() {
  HMODULE module = LoadFromSystem32(fileName);
  if (!module)
    throw SystemFailure("LoadLibraryExW", ::GetLastError());
  // Through a plain function pointer: FARPROC's own signature means nothing.
  auto address = reinterpret_cast<void (*)()>(::GetProcAddress(module, name));
  if (!address)
    throw SystemFailure(name, ::GetLastError());
  return address;
}

}  // namespace zolv::win32
