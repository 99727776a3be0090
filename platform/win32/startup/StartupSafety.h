// StartupSafety: what the launcher does before anything else. Users start it from Downloads,
// or from a shortcut whose working folder anyone may write; nothing it starts or loads by a
// bare name may come from such a folder.
#pragma once

namespace zolv::win32 {

// Makes the System32 folder the process's current directory: the shell searches the current
// directory first for a program named without a path (chrome.exe), before App Paths. Nothing
// else of the launcher depends on the current directory.
void LeaveTheCurrentDirectory();

}  // namespace zolv::win32
