// ProbeRequest: what the test program and the probe DLL loaded into the launcher exchange
// through the launcher's memory. A font handle means nothing outside the process that made
// it, so the probe reads a control's font where the handle lives.
#pragma once

#include <windows.h>

namespace zolv::e2e {

struct ProbeRequest {
  HWND control;   // in: the control whose font is wanted
  BOOL hasFont;   // out: whether the control has a font of its own
  LOGFONTW font;  // out: that font's description
};

inline constexpr char kProbeFunction[] = "ProbeControlFont";
inline constexpr wchar_t kProbeModule[] = L"E2EProbe.dll";

}  // namespace zolv::e2e
