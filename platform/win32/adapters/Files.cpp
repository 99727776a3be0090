// Files on the Win32 file system: whole-file reads, and replacements that never leave a
// partial file behind, whatever fails or whoever else has the file open, and that keep what
// belonged to the old file: its permissions, creation time, encryption and compression.
#include "platform/Files.h"

#include <windows.h>

#include <aclapi.h>
#include <winioctl.h>

#include <algorithm>
#include <new>
#include <string>

#include "platform/win32/adapters/PassingHold.h"
#include "platform/win32/system/SystemError.h"
#include "platform/win32/system/UniqueHandle.h"
#include "platform/win32/system/Wide.h"

namespace zolv::files {

using win32::Patience;
using win32::SystemErrorText;
using win32::UniqueFile;
using win32::Wide;

namespace {

// What a file's creation anew with normal attributes refuses to overwrite.
constexpr DWORD kNotRecreatable =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// What the old file's security descriptor passes on. Its SACL is left: reading or writing it
// takes a privilege the program does not have.
constexpr SECURITY_INFORMATION kOwnerAndGroup =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION;

// What the replaced file passes on to the file that takes its place.
struct Kept {
  BY_HANDLE_FILE_INFORMATION information{};
  win32::UniqueLocalMemory security;
  PSID owner = nullptr;
  PSID group = nullptr;
  PACL dacl = nullptr;
  SECURITY_INFORMATION daclInheritance = 0;
};

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
bool CheckReplaceable(HANDLE hold, const String& path, Kept& kept, String& target, String& error) {
  if (!::GetFileInformationByHandle(hold, &kept.information))
    return FailWithLastError(error);
  if (kept.information.dwFileAttributes & kNotRecreatable)
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

// The old file's owner, group and DACL, and whether the DACL takes what the folder passes on.
bool ReadSecurity(HANDLE hold, Kept& kept, String& error) {
  const DWORD code =
      ::GetSecurityInfo(hold, SE_FILE_OBJECT, kOwnerAndGroup | DACL_SECURITY_INFORMATION,
                        &kept.owner, &kept.group, &kept.dacl, nullptr, kept.security.put());
  if (code != ERROR_SUCCESS)
    return Fail(code, error);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (!::GetSecurityDescriptorControl(kept.security.get(), &control, &revision))
    return FailWithLastError(error);
  kept.daclInheritance = (control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                                       : UNPROTECTED_DACL_SECURITY_INFORMATION;
  return true;
}

// Gives the written temporary file what the old one had. Encryption came with its creation;
// compression is asked before the bytes are written, so that they are written compressed.
// The rest: the creation time, the attribute that keeps the file out of the search index, and
// the DACL, with the owner and group where this process may set them (an owner other than the
// user takes a privilege; the DACL decides who may do what either way). Both files are in one
// folder, so what the old DACL inherited from it, the new one inherits alike.
bool PassOn(HANDLE temporary, const Kept& kept) {
  FILE_BASIC_INFO basic{};
  basic.CreationTime.LowPart = kept.information.ftCreationTime.dwLowDateTime;
  basic.CreationTime.HighPart = static_cast<LONG>(kept.information.ftCreationTime.dwHighDateTime);
  // Zero leaves the attributes as they are: the new bytes are marked for backup either way.
  if (kept.information.dwFileAttributes & FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)
    basic.FileAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (!::SetFileInformationByHandle(temporary, FileBasicInfo, &basic, sizeof basic))
    return false;
  const SECURITY_INFORMATION dacl = DACL_SECURITY_INFORMATION | kept.daclInheritance;
  if (::SetSecurityInfo(temporary, SE_FILE_OBJECT, dacl | kOwnerAndGroup, kept.owner, kept.group,
                        kept.dacl, nullptr) == ERROR_SUCCESS)
    return true;
  const DWORD code =
      ::SetSecurityInfo(temporary, SE_FILE_OBJECT, dacl, nullptr, nullptr, kept.dacl, nullptr);
  ::SetLastError(code);
  return code == ERROR_SUCCESS;
}

bool Compress(HANDLE temporary) {
  USHORT format = COMPRESSION_FORMAT_DEFAULT;
  DWORD returned = 0;
  return ::DeviceIoControl(temporary, FSCTL_SET_COMPRESSION, &format, sizeof format, nullptr, 0,
                           &returned, nullptr) != FALSE;
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

// Read access for the compression request, and the rights to give the file its security.
UniqueFile CreateAt(const String& path, DWORD attributes) {
  return UniqueFile(::CreateFileW(Wide(path),
                                  GENERIC_READ | GENERIC_WRITE | DELETE | WRITE_DAC | WRITE_OWNER,
                                  FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS, attributes, nullptr));
}

// A stale temporary file that is read-only, hidden or a system file is made a plain one: the
// mark would stop its creation anew, or (Wine, as root) be carried over to the settings file.
void ClearAttributes(const String& path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(path));
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
      (attributes & kNotRecreatable))
    ::SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);
}

// Creates the temporary file beside `target`, encrypted when `attributes` says so. A stale one
// left by a crash is overwritten; what cannot be (a folder, say) moves the attempt on to the
// next name, and so does one that someone has open: not waited for, as that someone may be
// another launcher's save, waiting in turn for this one's hold to end. Other failures are final.
UniqueFile CreateTemporary(const String& target, DWORD attributes, String& temporaryPath) {
  constexpr int kAttempts = 10;  // one digit in the name
  DWORD code = ERROR_ACCESS_DENIED;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    temporaryPath = TemporaryPath(target, attempt);
    if (temporaryPath == target)
      continue;
    ClearAttributes(temporaryPath);
    UniqueFile file = CreateAt(temporaryPath, attributes);
    if (file)
      return file;
    code = ::GetLastError();
    if (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION)
      break;
  }
  ::SetLastError(code);
  return UniqueFile();
}

}  // namespace

bool ReadWhole(const String& path, std::string& bytes, String& error) {
  bytes.clear();
  Patience patience;
  const UniqueFile file = win32::OpenWaitingOutHolds(path, GENERIC_READ, FILE_SHARE_READ,
                                                     [&] { return patience.Wait(); });
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
// written beside it. That fails if anyone else has the file open or if this user may not write
// or delete it, and it keeps everyone else out until the new file is in place: a writer let in
// could change the file whose place and security the save takes over, and a reader let in would
// hold the old file open at the rename, which is refused over a file that is still open, even by
// this process with delete sharing (Wine and Windows alike, short of Windows 10's POSIX-style
// rename). What that costs a reader who comes during a save is a wait of a few milliseconds: it
// waits the hold out (PassingHold.h) and then reads the old file or the new one, whole. The hold
// ends just before MoveFileExW puts the new file in the old one's place in one step; whoever
// opens the file in that moment makes the rename fail (access denied, as the hold showed the
// file may be replaced), and the rename waits that out in turn, with the same patience. On
// failure the old file stays as it was. ReplaceFileW would keep the old file's security too, but
// some of its failures leave the settings file under another name, or none.
bool ReplaceWhole(const String& path, std::string_view bytes, String& error) {
  Patience patience;
  UniqueFile hold = win32::OpenWaitingOutHolds(path, GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                                               [&] { return patience.Wait(); });
  DWORD code = hold ? ERROR_SUCCESS : ::GetLastError();
  if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND)
    return Fail(code, error);
  String target = path;
  Kept kept;
  if (hold && (!CheckReplaceable(hold.get(), path, kept, target, error) ||
               !ReadSecurity(hold.get(), kept, error)))
    return false;

  // The handle stays open through the rename, shared for deletion only, so no other writer can
  // truncate these bytes before they take the file's place, and no reader sees the new file
  // until it is complete.
  const DWORD attributes = kept.information.dwFileAttributes;
  String temporaryPath;
  UniqueFile temporary = CreateTemporary(
      target,
      attributes & FILE_ATTRIBUTE_ENCRYPTED ? FILE_ATTRIBUTE_ENCRYPTED : FILE_ATTRIBUTE_NORMAL,
      temporaryPath);
  if (!temporary)
    return FailWithLastError(error);
  if ((attributes & FILE_ATTRIBUTE_COMPRESSED && !Compress(temporary.get())) ||
      !WriteAll(temporary.get(), bytes) || !::FlushFileBuffers(temporary.get()) ||
      (hold && !PassOn(temporary.get(), kept))) {
    code = ::GetLastError();
    Discard(temporary);
    return Fail(code, error);
  }

  hold.reset();
  while (!::MoveFileExW(Wide(temporaryPath), Wide(target),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    code = ::GetLastError();
    if ((code != ERROR_SHARING_VIOLATION && code != ERROR_ACCESS_DENIED) || !patience.Wait()) {
      Discard(temporary);
      return Fail(code, error);
    }
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
