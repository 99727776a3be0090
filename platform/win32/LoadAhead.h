// LoadAhead: a system DLL loaded from System32 on a thread of its own while the window thread
// goes on, so that its first use finds it in memory. Loading the shell takes a few
// milliseconds that would otherwise come before the window shows.
#pragma once

#include <windows.h>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/UniqueHandle.h"

namespace zolv::win32 {

class LoadAhead {
 public:
  // Starts loading System32\`fileName` (a literal: the thread reads it); when no thread can be
  // made, the first use loads the DLL as it always would.
  explicit LoadAhead(const wchar_t* fileName);
  // Waits for the thread, which only ever loads, then drops its reference: whoever uses the
  // DLL holds one of their own.
  ~LoadAhead();
  LoadAhead(const LoadAhead&) = delete;
  LoadAhead& operator=(const LoadAhead&) = delete;

 private:
  static DWORD WINAPI Load(void* self);

  const wchar_t* fileName_;
  UniqueLibrary library_;  // set by the thread; released only after it has ended
  UniqueHandleObject thread_;
};

}  // namespace zolv::win32
