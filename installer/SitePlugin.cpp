// ZOLVSite.dll: the installer's plugin that checks the web system's host and the client
// identifier with the launcher's own rules (SiteAddress), so that the installer never writes a
// site.ini that the launcher would refuse.
//
// Installer script use (each call takes one value from the stack and leaves "1" or "0"):
//   Push $Host
//   ZOLVSite::CheckHost
//   Pop $0
#include <windows.h>

#include <cwchar>

#include "SiteAddress.h"
#include "platform/win32/UniqueHandle.h"

namespace zolv::installer {

// One entry of the installer's string stack, allocated with GlobalAlloc: the text holds up to
// the installer's string size in characters, terminator included.
struct StackEntry {
  StackEntry* next;
  wchar_t text[1];
};

namespace {

void FreeEntry(StackEntry* entry) {
  ::GlobalFree(entry);
}
using UniqueEntry = win32::UniqueHandle<StackEntry*, FreeEntry>;

String Pop(StackEntry** top, int stringSize) {
  if (!top || !*top)
    return {};
  UniqueEntry entry(*top);
  *top = entry.get()->next;
  const std::size_t length = ::wcsnlen(entry.get()->text, static_cast<std::size_t>(stringSize));
  return String(entry.get()->text, entry.get()->text + length);
}

void PushVerdict(StackEntry** top, int stringSize, bool valid) {
  if (!top)
    return;
  const std::size_t bytes =
      sizeof(StackEntry) + static_cast<std::size_t>(stringSize) * sizeof(wchar_t);
  auto* entry = static_cast<StackEntry*>(::GlobalAlloc(GPTR, bytes));
  if (!entry)
    return;
  entry->text[0] = valid ? L'1' : L'0';
  entry->next = *top;
  *top = entry;
}

template <typename Check>
void Verdict(StackEntry** top, int stringSize, Check check) noexcept {
  bool valid = false;
  try {
    valid = check(Pop(top, stringSize));
  } catch (...) {
    // Out of memory: the value is not accepted.
  }
  PushVerdict(top, stringSize, valid);
}

}  // namespace
}  // namespace zolv::installer

using zolv::installer::StackEntry;

extern "C" __declspec(dllexport) void __cdecl CheckHost(HWND, int stringSize, wchar_t*,
                                                        StackEntry** top, void*) {
  zolv::installer::Verdict(top, stringSize,
                           [](const zolv::String& host) { return zolv::IsValidHost(host); });
}

extern "C" __declspec(dllexport) void __cdecl CheckClientId(HWND, int stringSize, wchar_t*,
                                                            StackEntry** top, void*) {
  zolv::installer::Verdict(
      top, stringSize, [](const zolv::String& id) { return zolv::ParseClientId(id).has_value(); });
}
