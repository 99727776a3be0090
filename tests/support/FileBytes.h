// FileBytes: a file's whole bytes read and written with plain Win32 calls, for the Windows test
// programs' own preparations and checks, so that what they see never comes through the code
// under test.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/Text.h"
#include "platform/win32/system/UniqueHandle.h"
#include "platform/win32/system/Wide.h"

namespace zolv::tests {

// The file's bytes, or nothing when it cannot be opened (the last error says why). Others may
// read, write and delete the file meanwhile.
inline std::optional<std::string> ReadBytes(const wchar_t* path) {
  win32::UniqueFile file(::CreateFileW(path, GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  return bytes;
}

// Creates or replaces the file with exactly these bytes; false when that failed.
inline bool WriteBytes(const wchar_t* path, std::string_view bytes) {
  win32::UniqueFile file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file &&
         ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
         written == bytes.size();
}

// Whether a save holds the file now: only a save's hold shares it with nobody, so an open that
// shares everything is refused only then.
inline bool SaveHolds(const wchar_t* path) {
  const win32::UniqueFile probe(
      ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !probe && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

inline std::optional<std::string> ReadBytes(const std::wstring& path) {
  return ReadBytes(path.c_str());
}
inline std::optional<std::string> ReadBytes(const String& path) {
  return ReadBytes(win32::Wide(path));
}
inline bool WriteBytes(const std::wstring& path, std::string_view bytes) {
  return WriteBytes(path.c_str(), bytes);
}
inline bool WriteBytes(const String& path, std::string_view bytes) {
  return WriteBytes(win32::Wide(path), bytes);
}
inline bool SaveHolds(const String& path) {
  return SaveHolds(win32::Wide(path));
}

}  // namespace zolv::tests
