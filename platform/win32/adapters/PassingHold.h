// Passing holds: a file that another program has open for a moment. Another launcher's save
// holds the settings file while it writes the new one beside it; antivirus, backup and indexing
// programs open a file just written; an administrator's script rewrites site.ini. Reads and
// saves alike wait such a hold out, the same way and for the same half second, and only then
// report the refusal; a file held longer, by an editor or anything else, is refused as before.
#pragma once

#include <windows.h>

#include "platform/Text.h"
#include "platform/win32/system/UniqueHandle.h"
#include "platform/win32/system/Wide.h"

namespace zolv::win32 {

// Half a second from its making, waited a moment at a time: a save of the settings file takes
// a few milliseconds, so this leaves a busy machine a hundredfold margin, and a user whose file
// is really held meets the error box without a noticeable pause. A wait comes in at the first
// moment it finds the file free, so saves made back to back without a pause could keep it out;
// a launcher saves once at start-up and once a click.
class Patience {
 public:
  // Waits a moment and returns true while the half second lasts.
  bool Wait() {
    if (::GetTickCount64() >= deadline_)
      return false;
    ::Sleep(10);
    return true;
  }

 private:
  const ULONGLONG deadline_ = ::GetTickCount64() + 500;
};

// Opens the existing file at `path`, calling `wait` after each sharing refusal until the file
// opens or `wait` returns false. An empty handle on failure, the last error the system's code.
template <typename Wait>
UniqueFile OpenWaitingOutHolds(const String& path, DWORD access, DWORD share, Wait wait) {
  for (;;) {
    UniqueFile file(::CreateFileW(Wide(path), access, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
      return file;
    const DWORD code = ::GetLastError();
    if (code != ERROR_SHARING_VIOLATION || !wait()) {
      ::SetLastError(code);
      return file;
    }
  }
}

}  // namespace zolv::win32
