// MarkerDll: copied under the name of a system DLL into a program's folder. Whenever a process
// loads it, it leaves "<its own path>.loaded" beside itself, which the tests look for. It links
// against kernel32 only and has no C runtime, so that no copy beside it is ever its own import.
#include <windows.h>

extern "C" BOOL WINAPI MarkerEntry(HINSTANCE self, DWORD reason, void*) {
  if (reason != DLL_PROCESS_ATTACH)
    return TRUE;
  wchar_t path[MAX_PATH + 16] = {};
  DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return TRUE;
  lstrcatW(path, L".loaded");
  HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (marker != INVALID_HANDLE_VALUE)
    CloseHandle(marker);
  return TRUE;
}
