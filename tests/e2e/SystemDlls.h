// SystemDlls: the names of the system DLLs that the launcher and the installer load, under Wine
// and on Windows, from start-up to the hand-over and the error boxes. The tests plant a marker
// DLL under each of these names beside the program.
#pragma once

#include <array>

namespace zolv::tests {

// Wine's loader takes its own built-in DLL for most of these names even when a file of the
// name lies beside the program, so under Wine only the others (shcore.dll) can show a fault;
// on Windows the KnownDLLs among them never come from there.
inline constexpr std::array<const wchar_t*, 38> kSystemDlls{
    L"advapi32.dll",       L"apphelp.dll",        L"bcrypt.dll",     L"bcryptprimitives.dll",
    L"clbcatq.dll",        L"combase.dll",        L"comctl32.dll",   L"crypt32.dll",
    L"cryptbase.dll",      L"dwmapi.dll",         L"gdi32.dll",      L"imm32.dll",
    L"kernel.appcore.dll", L"kernel32.dll",       L"kernelbase.dll", L"msctf.dll",
    L"msimg32.dll",        L"msvcrt.dll",         L"ntmarta.dll",    L"ole32.dll",
    L"oleacc.dll",         L"oleaut32.dll",       L"profapi.dll",    L"propsys.dll",
    L"rpcrt4.dll",         L"rsaenh.dll",         L"sechost.dll",    L"setupapi.dll",
    L"shcore.dll",         L"shell32.dll",        L"shlwapi.dll",    L"ucrtbase.dll",
    L"user32.dll",         L"userenv.dll",        L"uxtheme.dll",    L"version.dll",
    L"win32u.dll",         L"windows.storage.dll"};

}  // namespace zolv::tests
