// Files on the Win32 file system: whole-file reads, and replacements that never leave a
// partial file behind, whatever fails or whoever else has the file open.
#include "platform/Files.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/SystemError.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Wide.h"

namespace zolv::files {

using win32::SystemErrorText;
using win32::UniqueFile;
using win32::Wide;

namespace {

bool Fail(DWORD code, String& error) {
  error = SystemErrorText(code);
  return false;
}

bool FailWithLastError(String& error) {
  return Fail(::GetLastError(), error);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr))
      return false;
    if (written == 0) {
      ::SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

// Deletes the temporary file through the handle that wrote it, so that nothing but this call's
// own file can be removed, then closes it.
void Discard(UniqueFile& temporary) {
  FILE_DISPOSITION_INFO dispose{TRUE};
  ::SetFileInformationByHandle(temporary.get(), FileDispositionInfo, &dispose, sizeof dispose);
  temporary.reset();
}

}  // namespace

bool ReadWhole(const String& path, std::string& bytes, String& error) {
  bytes.clear();
  UniqueFile file(::CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return FailWithLastError(error);
  // Nobody can write the file while it is open here, so its size holds until it is read.
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size))
    return FailWithLastError(error);
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t filled = 0;
  while (filled < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - filled, 1u << 20));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data() + filled, chunk, &read, nullptr)) {
      bytes.clear();
      return FailWithLastError(error);
    }
    if (read == 0)
      break;
    filled += read;
  }
  bytes.resize(filled);
  return true;
}

// The replacement holds the old file open with no sharing while the new bytes are written
// beside it: that fails at once if anyone else has the file open, and keeps readers out until
// the new file is in place. MoveFileExW then puts the new file in the old one's place in one
// step. The rename is refused over a file that is still open, even by this process with delete
// sharing (Wine and Windows alike, short of Windows 10's POSIX-style rename), so the hold ends
// just before it; whoever opens the file in that moment makes the rename fail, and the old
// file stays as it was.
bool ReplaceWhole(const String& path, std::string_view bytes, String& error) {
  UniqueFile hold(::CreateFileW(Wide(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!hold && ::GetLastError() != ERROR_FILE_NOT_FOUND)
    return FailWithLastError(error);

  // One name per file: a stale one left by a crash is simply overwritten. The handle stays open
  // through the rename, shared for deletion only, so no other writer can truncate these bytes
  // before they take the file's place, and no reader sees the new file until it is complete.
  const String temporaryPath = path + u".tmp";
  UniqueFile temporary(::CreateFileW(Wide(temporaryPath), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE,
                                     nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!temporary)
    return FailWithLastError(error);
  if (!WriteAll(temporary.get(), bytes) || !::FlushFileBuffers(temporary.get())) {
    const DWORD code = ::GetLastError();
    Discard(temporary);
    return Fail(code, error);
  }

  hold.reset();
  if (!::MoveFileExW(Wide(temporaryPath), Wide(path),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD code = ::GetLastError();
    Discard(temporary);
    return Fail(code, error);
  }
  return true;
}

bool Exists(const String& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolder(const String& path) {
  return ::CreateDirectoryW(Wide(path), nullptr) != FALSE;
}

String ModuleFileName() {
  String name(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, Wide(name), static_cast<DWORD>(name.size()));
    if (length == 0)
      return String();
    // A name that fills the buffer may have been cut short.
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    name.resize(name.size() * 2);
  }
}

}  // namespace zolv::files
