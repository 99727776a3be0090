// E2EProbe: a DLL the end-to-end tests load into the running launcher to read a control's
// font (WM_GETFONT, then GetObjectW) inside the process that owns the font handle.
#include <windows.h>

#include "ProbeRequest.h"

// Runs as the start routine of a thread created in the launcher by the test program; returns 1
// when the request was answered.
extern "C" __declspec(dllexport) DWORD WINAPI ProbeControlFont(void* parameter) {
  auto& request = *static_cast<zolv::e2e::ProbeRequest*>(parameter);
  DWORD_PTR font = 0;
  if (!SendMessageTimeoutW(request.control, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 5000, &font)) {
    return 0;
  }
  request.hasFont = font != 0;
  if (font == 0)
    return 1;
  const int size = GetObjectW(reinterpret_cast<HFONT>(font), sizeof request.font, &request.font);
  return size == sizeof request.font ? 1 : 0;
}
