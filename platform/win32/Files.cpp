// Files on the Win32 file system: whole-file reads, and replacements that never leave a
// partial file behind, whatever fails or whoever else has the file open.
#include "platform/Files.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <string>

#include "platform/win32/SystemError.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Wide.h"

namespace zolv::files {

using win32::SystemErrorText;
using win32::UniqueFile;
using win32::Wide;

namespace {

// What a file's creation anew with normal attributes refuses to overwrite.
constexpr DWORD kNotRecreatable =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

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

// Creating a file anew over one that is read-only, hidden or a system file is refused; the
// replacement refuses them too, whatever the rename would allow (Wine's, run as root, allows
// all). A symbolic link in the file's place is kept: the file it leads to is the one replaced.
bool CheckReplaceable(HANDLE hold, const String& path, String& target, String& error) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(hold, &information))
    return FailWithLastError(error);
  if (information.dwFileAttributes & kNotRecreatable)
    return Fail(ERROR_ACCESS_DENIED, error);
  const DWORD own = ::GetFileAttributesW(Wide(path));
  if (own == INVALID_FILE_ATTRIBUTES || !(own & FILE_ATTRIBUTE_REPARSE_POINT))
    return true;
  String final(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length =
        ::GetFinalPathNameByHandleW(hold, Wide(final), static_cast<DWORD>(final.size()), 0);
    if (length == 0)
      return FailWithLastError(error);
    if (length < final.size()) {
      final.resize(length);
      target = final;
      return true;
    }
    final.resize(length);
  }
}

// The temporary file's name for each attempt: the file's own name with its start replaced by
// "~" and, after the first attempt, a number (ZOLVWeb.ini: ~OLVWeb.ini, ~1LVWeb.ini, ...), so
// that its path is never longer than the file's, which the file's own creation accepts.
String TemporaryPath(const String& path, int attempt) {
  const std::size_t separator = path.find_last_of(u"\\/:");
  const std::size_t start = separator == String::npos ? 0 : separator + 1;
  String mark = u"~";
  if (attempt > 0)
    mark += static_cast<char16_t>(u'0' + attempt);
  const std::size_t length = std::min(mark.size(), path.size() - start);
  String temporary = path;
  temporary.replace(start, length, mark, 0, length);
  return temporary;
}

UniqueFile CreateAt(const String& path) {
  return UniqueFile(::CreateFileW(Wide(path), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A stale temporary file that is read-only, hidden or a system file is made a plain one: the
// mark would stop its creation anew, or (Wine, as root) be carried over to the settings file.
void ClearAttributes(const String& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path));
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
      (attributes & kNotRecreatable))
    ::SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);
}

// Creates the temporary file beside `target`. A stale one left by a crash is overwritten; what
// cannot be (a folder, say) moves the attempt on to the next name. Other failures are final.
UniqueFile CreateTemporary(const String& target, String& temporaryPath) {
  constexpr int kAttempts = 10;  // one digit in the name
  DWORD code = ERROR_ACCESS_DENIED;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    temporaryPath = TemporaryPath(target, attempt);
    if (temporaryPath == target)
      continue;
    ClearAttributes(temporaryPath);
    UniqueFile file = CreateAt(temporaryPath);
    if (file)
      return file;
    code = ::GetLastError();
    if (code != ERROR_ACCESS_DENIED)
      break;
  }
  ::SetLastError(code);
  return UniqueFile();
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
  // A 32-bit process cannot hold a file of 4 GiB or more; cut short, it would read as a
  // success, and the next write would drop the rest.
  if (static_cast<unsigned long long>(size.QuadPart) > bytes.max_size())
    return Fail(ERROR_FILE_TOO_LARGE, error);
  try {
    bytes.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return Fail(ERROR_NOT_ENOUGH_MEMORY, error);
  }
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

// The replacement holds the old file open for writing with no sharing while the new bytes are
// written beside it: that fails at once if anyone else has the file open or if this user may not
// write it, and keeps readers out until the new file is in place. MoveFileExW then puts the new
// file in the old one's place in one step. The rename is refused over a file that is still open,
// even by this process with delete sharing (Wine and Windows alike, short of Windows 10's
// POSIX-style rename), so the hold ends just before it; whoever opens the file in that moment
// makes the rename fail, and the old file stays as it was.
bool ReplaceWhole(const String& path, std::string_view bytes, String& error) {
  UniqueFile hold(::CreateFileW(Wide(path), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!hold && ::GetLastError() != ERROR_FILE_NOT_FOUND)
    return FailWithLastError(error);
  String target = path;
  if (hold && !CheckReplaceable(hold.get(), path, target, error))
    return false;

  // The handle stays open through the rename, shared for deletion only, so no other writer can
  // truncate these bytes before they take the file's place, and no reader sees the new file
  // until it is complete.
  String temporaryPath;
  UniqueFile temporary = CreateTemporary(target, temporaryPath);
  if (!temporary)
    return FailWithLastError(error);
  if (!WriteAll(temporary.get(), bytes) || !::FlushFileBuffers(temporary.get())) {
    const DWORD code = ::GetLastError();
    Discard(temporary);
    return Fail(code, error);
  }

  hold.reset();
  if (!::MoveFileExW(Wide(temporaryPath), Wide(target),
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
