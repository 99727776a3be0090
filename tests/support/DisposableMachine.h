// The Windows test programs that rewrite machine-wide settings (the installed browser list, App
// Paths, the http handler) do so only inside Wine's own prefix, or on a machine its owner has
// declared disposable with ZOLV_E2E_DISPOSABLE_MACHINE=1. Elsewhere they skip themselves.
#pragma once

#include <windows.h>

#include <array>

namespace zolv::tests {

inline bool RunsUnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

inline bool MayRewriteMachineSettings() {
  if (RunsUnderWine())
    return true;
  std::array<wchar_t, 8> value{};
  const DWORD length = ::GetEnvironmentVariableW(L"ZOLV_E2E_DISPOSABLE_MACHINE", value.data(),
                                                 static_cast<DWORD>(value.size()));
  return length == 1 && value[0] == L'1';
}

inline constexpr char kMachineSettingsSkip[] =
    "this test rewrites machine-wide settings (the browser list, App Paths, the http handler); "
    "outside Wine it runs only with ZOLV_E2E_DISPOSABLE_MACHINE=1";

}  // namespace zolv::tests
