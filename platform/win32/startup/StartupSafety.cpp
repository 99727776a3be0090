#include "platform/win32/startup/StartupSafety.h"

#include <windows.h>

namespace zolv::win32 {

void LeaveTheCurrentDirectory() {
  wchar_t system[MAX_PATH + 1] = {};
  UINT length = ::GetSystemDirectoryW(system, MAX_PATH + 1);
  if (length > 0 && length <= MAX_PATH)
    ::SetCurrentDirectoryW(system);
}

}  // namespace zolv::win32
