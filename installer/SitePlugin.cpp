// ZOLVSite.dll: the installer's plugin for site.ini. It reads and writes the file with the
// launcher's own settings engine (SiteFile) and checks the web system's host and the client
// identifier with the launcher's own rules (SiteAddress), so that the installer keeps what the
// launcher reads and never writes a site.ini that the launcher would refuse. It also tells
// whether Windows Installer holds the MSI package, so that one machine gets one installation.
//
// Installer script use (arguments are pushed last first; every call leaves "1" or "0" on top):
//   Push $Host                      ; or $ClientId for CheckClientId
//   ZOLVSite::CheckHost             ; "1": the launcher accepts it
//   Push "$INSTDIR\site.ini"
//   ZOLVSite::ReadSite              ; "1", then the host and the client id; "0": unreadable
//   Push $ClientId
//   Push $Host
//   Push "$INSTDIR\site.ini"
//   ZOLVSite::WriteSite             ; "1": written, or already held these values
//   Push "{UPGRADE-CODE}"
//   ZOLVSite::MsiInstalled          ; "1": a product of that UpgradeCode is installed
#include <windows.h>

#include <msi.h>

#include <algorithm>
#include <cwchar>

#include "IniFile.h"
#include "SiteAddress.h"
#include "SiteFile.h"
#include "platform/Files.h"
#include "platform/win32/system/SystemLibrary.h"
#include "platform/win32/system/UniqueHandle.h"
#include "platform/win32/system/Wide.h"

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

class Stack {
 public:
  Stack(StackEntry** top, int stringSize)
      : top_(top), stringSize_(static_cast<std::size_t>(stringSize > 0 ? stringSize : 1)) {}

  String Pop() {
    if (!top_ || !*top_)
      return {};
    UniqueEntry entry(*top_);
    *top_ = entry.get()->next;
    const std::size_t length = ::wcsnlen(entry.get()->text, stringSize_);
    return String(entry.get()->text, entry.get()->text + length);
  }

  // A text longer than the installer's strings is cut short. No value that long is valid
  // (a host has at most 253 characters), and what is left of it is still too long to be.
  void Push(StringView text) {
    if (!top_)
      return;
    const std::size_t bytes = sizeof(StackEntry) + stringSize_ * sizeof(wchar_t);
    auto* entry = static_cast<StackEntry*>(::GlobalAlloc(GPTR, bytes));
    if (!entry)
      return;
    const std::size_t length = text.size() < stringSize_ ? text.size() : stringSize_ - 1;
    std::copy_n(text.data(), length, entry->text);
    entry->next = *top_;
    *top_ = entry;
  }

  void PushVerdict(bool ok) { Push(ok ? u"1" : u"0"); }

 private:
  StackEntry** top_;
  std::size_t stringSize_;
};

// Runs the call and pushes its verdict; a failure inside (out of memory, an unreadable file)
// is a "0", as no exception may cross into the installer.
template <typename Call>
void Answer(StackEntry** top, int stringSize, Call call) noexcept {
  Stack stack(top, stringSize);
  bool ok = false;
  try {
    ok = call(stack);
  } catch (...) {
    ok = false;
  }
  stack.PushVerdict(ok);
}

bool ReadSite(Stack& stack) {
  const SiteText site = ReadSiteText(LoadIniFile(stack.Pop()));
  stack.Push(site.clientId);
  stack.Push(site.host);
  return true;
}

bool WriteSite(Stack& stack) {
  const String path = stack.Pop();
  SiteText values;
  values.host = stack.Pop();
  values.clientId = stack.Pop();
  IniFile site = LoadIniFile(path);
  if (!WriteSiteText(site, values))
    return true;
  String error;
  return files::ReplaceWhole(path, site.ToBytes(), error);
}

// msi.dll is not a KnownDLL: it is loaded from System32 by full path, never imported, so that a
// DLL of that name in %TEMP% beside this plugin is never the one loaded.
namespace msi {
inline constexpr wchar_t kDll[] = L"msi.dll";
ZOLV_LATE_FUNCTION(kDll, MsiEnumRelatedProductsW);
}  // namespace msi

bool MsiInstalled(Stack& stack) {
  const String upgradeCode = stack.Pop();
  wchar_t product[39];
  return msi::MsiEnumRelatedProductsW(win32::Wide(upgradeCode), 0, 0, product) == ERROR_SUCCESS;
}

}  // namespace
}  // namespace zolv::installer

using zolv::installer::Answer;
using zolv::installer::Stack;
using zolv::installer::StackEntry;

extern "C" __declspec(dllexport) void __cdecl CheckHost(HWND, int stringSize, wchar_t*,
                                                        StackEntry** top, void*) {
  Answer(top, stringSize, [](Stack& stack) { return zolv::IsValidHost(stack.Pop()); });
}

extern "C" __declspec(dllexport) void __cdecl CheckClientId(HWND, int stringSize, wchar_t*,
                                                            StackEntry** top, void*) {
  Answer(top, stringSize,
         [](Stack& stack) { return zolv::ParseClientId(stack.Pop()).has_value(); });
}

extern "C" __declspec(dllexport) void __cdecl ReadSite(HWND, int stringSize, wchar_t*,
                                                       StackEntry** top, void*) {
  Answer(top, stringSize, zolv::installer::ReadSite);
}

extern "C" __declspec(dllexport) void __cdecl WriteSite(HWND, int stringSize, wchar_t*,
                                                        StackEntry** top, void*) {
  Answer(top, stringSize, zolv::installer::WriteSite);
}

extern "C" __declspec(dllexport) void __cdecl MsiInstalled(HWND, int stringSize, wchar_t*,
                                                           StackEntry** top, void*) {
  Answer(top, stringSize, zolv::installer::MsiInstalled);
}
