// StubBrowser: stands in for every web browser (and the http handler) during the end-to-end
// tests. It opens no window: it appends its whole command line, as one UTF-8 line, to the file
// named by ZOLV_STUB_RECORD (else StubBrowser.log beside itself) and exits.
#include <windows.h>

#include <string>

#include "platform/win32/system/UniqueHandle.h"

namespace {

std::wstring RecordPath() {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length =
      GetEnvironmentVariableW(L"ZOLV_STUB_RECORD", path.data(), static_cast<DWORD>(path.size()));
  if (length > 0 && length < path.size()) {
    path.resize(length);
    return path;
  }
  path.assign(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"StubBrowser.log";
}

std::string Utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::string line = Utf8(GetCommandLineW()) + "\r\n";
  // Appending with shared access lets several stubs started at once each add their own line.
  const zolv::win32::UniqueFile file(
      CreateFileW(RecordPath().c_str(), FILE_APPEND_DATA,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return 1;
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  return ok && written == line.size() ? 0 : 1;
}
