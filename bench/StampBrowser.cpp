// StampBrowser: stands in for the browser in the hand-over measurement. First thing, it notes
// the precise system time and its own process creation time, and appends both (100 ns units)
// to the file named by ZOLV_BENCH_STAMP; then it exits.
#include <windows.h>

#include <string>

#include "platform/win32/system/UniqueHandle.h"

namespace {

unsigned long long Ticks(const FILETIME& time) {
  return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  FILETIME started;
  GetSystemTimePreciseAsFileTime(&started);
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
    return 1;
  wchar_t path[MAX_PATH + 1];
  const DWORD length = GetEnvironmentVariableW(L"ZOLV_BENCH_STAMP", path, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH)
    return 1;
  const std::string line =
      std::to_string(Ticks(started)) + " " + std::to_string(Ticks(created)) + "\r\n";
  const zolv::win32::UniqueFile file(CreateFileW(path, FILE_APPEND_DATA,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return 1;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  return ok ? 0 : 1;
}
