// Handing a file or address to the shell (shell32's ShellExecuteW).
#include <windows.h>

#include <shellapi.h>

#include "platform/Shell.h"

namespace zolv::shell {

void Execute(std::uintptr_t owner, const String& verb, const String& file, const String& parameters,
             int showCommand) {
  auto wide = [](const String& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); };
  ::ShellExecuteW(reinterpret_cast<HWND>(owner), wide(verb), wide(file),
                  parameters.empty() ? nullptr : wide(parameters), nullptr, showCommand);
}

}  // namespace zolv::shell
