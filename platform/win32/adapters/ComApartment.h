// ComApartment: the single-threaded COM apartment of the window's thread. The shell's
// registered handlers (DDE, DelegateExecute) expect their caller in one, or they run on a
// background thread that a launcher ending right after the call can cut short. It is entered
// on first need, not at start-up, and left when the process ends; ole32.dll is loaded from
// System32 then (LateImports), so start-up neither loads nor imports it.
#pragma once

#include <windows.h>

namespace zolv::win32 {

// Puts the calling thread, which must be the window's thread (the process's first), into a
// single-threaded apartment with OLE1 DDE disabled, once. Returns whether it is in one: false
// when the thread was already made multi-threaded.
bool EnterSingleThreadedApartment();

// CoCreateInstance of an in-process server, once the apartment is entered.
HRESULT CreateInProcess(REFCLSID server, REFIID id, void** object);

}  // namespace zolv::win32
