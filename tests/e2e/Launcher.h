// Launcher: one run of ZOLVWeb.exe, started as a person starts it, inside a job object so that
// it and every browser it starts end with the test, however the test ends.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "Machine.h"
#include "Wait.h"
#include "platform/win32/system/UniqueHandle.h"

namespace zolv::e2e {

inline constexpr wchar_t kMainCaption[] = L"ZOLV Online";
inline constexpr wchar_t kErrorBoxCaption[] = L"Zolvweb";

class Launcher {
 public:
  // Held runs only once resumed, so that several start at the same moment.
  enum class Begin { kAtOnce, kHeld };

  // Started as from a shortcut: the program at `path`, in the working folder `currentFolder`.
  explicit Launcher(const std::wstring& path = LauncherPath(),
                    const std::wstring& currentFolder = TestFolder(), Begin begin = Begin::kAtOnce);
  ~Launcher();
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;

  HANDLE Process() const { return process_.get(); }
  // Lets a held launcher run.
  void Resume();

  // The main window once it is shown and the launcher waits for input; throws on time-out.
  HWND WaitForMainWindow();
  // The error box once it is shown; throws on time-out.
  HWND WaitForErrorBox();
  // The launcher's visible top-level window with this class (empty: any) and caption.
  HWND FindTopLevel(const std::wstring& className, const std::wstring& caption) const;

  bool WaitForExit(std::chrono::milliseconds timeout = kPatience) const;
  bool Running() const { return !WaitForExit(0ms); }
  // Until neither the launcher nor anything it started is running.
  bool WaitUntilAllEnded(std::chrono::milliseconds timeout = kPatience) const;
  // How many processes the launcher started so far (itself not counted).
  int StartedProcesses() const;

  // The control that has the keyboard focus in the thread of `window`.
  static HWND Focus(HWND window);
  std::optional<LOGFONTW> Font(HWND control) const;

  // Ends the launcher and everything it started, and waits until they are gone.
  void Kill();

 private:
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION Accounting() const;

  win32::UniqueHandleObject job_;
  win32::UniqueHandleObject process_;
  win32::UniqueHandleObject thread_;
  DWORD processId_ = 0;
};

// Presses and releases a key as the keyboard does; it goes to the foreground window's focus.
void PressKey(WORD key);

}  // namespace zolv::e2e
