// LateImports: every function of a system DLL that the program calls without importing it, one
// line each, called under its own name (SystemLibrary.h: LateFunction). The loader resolves a
// program's imports, and the imports of those DLLs (shcore.dll under Wine), before the program
// can restrict the DLL search, so a file of such a name beside the program would be loaded. They
// are loaded on first use, once the search is restricted, from System32 (comctl32 through the
// manifest's side-by-side version 6), and kept to the end of the process.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlobj.h>
#include <uxtheme.h>

#include "platform/win32/system/SystemLibrary.h"

namespace zolv::win32::comctl32 {
inline constexpr wchar_t kDll[] = L"comctl32.dll";
ZOLV_LATE_FUNCTION(kDll, InitCommonControlsEx);
ZOLV_LATE_FUNCTION(kDll, ImageList_Create);
ZOLV_LATE_FUNCTION(kDll, ImageList_AddMasked);
ZOLV_LATE_FUNCTION(kDll, ImageList_Draw);
ZOLV_LATE_FUNCTION(kDll, ImageList_Destroy);
}  // namespace zolv::win32::comctl32

namespace zolv::win32::shell32 {
inline constexpr wchar_t kDll[] = L"shell32.dll";
ZOLV_LATE_FUNCTION(kDll, SHGetFolderPathW);
ZOLV_LATE_FUNCTION(kDll, ShellExecuteW);
}  // namespace zolv::win32::shell32

// The visual styles the toolkit draws its buttons with. Without them OpenThemeData gives no
// theme, and the classic look is drawn.
namespace zolv::win32::uxtheme {
inline constexpr wchar_t kDll[] = L"uxtheme.dll";
ZOLV_LATE_FUNCTION(kDll, OpenThemeData);
ZOLV_LATE_FUNCTION(kDll, CloseThemeData);
ZOLV_LATE_FUNCTION(kDll, IsThemeBackgroundPartiallyTransparent);
ZOLV_LATE_FUNCTION(kDll, DrawThemeParentBackground);
ZOLV_LATE_FUNCTION(kDll, DrawThemeBackground);
ZOLV_LATE_FUNCTION(kDll, GetThemeBackgroundContentRect);
ZOLV_LATE_FUNCTION(kDll, GetThemeColor);
}  // namespace zolv::win32::uxtheme

namespace zolv::win32::ole32 {
inline constexpr wchar_t kDll[] = L"ole32.dll";
ZOLV_LATE_FUNCTION(kDll, CoInitializeEx);
ZOLV_LATE_FUNCTION(kDll, CoUninitialize);
ZOLV_LATE_FUNCTION(kDll, CoCreateInstance);
}  // namespace zolv::win32::ole32

// What screen readers are answered with (Accessibility.cpp).
namespace zolv::win32::oleacc {
inline constexpr wchar_t kDll[] = L"oleacc.dll";
ZOLV_LATE_FUNCTION(kDll, CreateStdAccessibleObject);
ZOLV_LATE_FUNCTION(kDll, LresultFromObject);
}  // namespace zolv::win32::oleacc

namespace zolv::win32::oleaut32 {
inline constexpr wchar_t kDll[] = L"oleaut32.dll";
ZOLV_LATE_FUNCTION(kDll, SysAllocString);
}  // namespace zolv::win32::oleaut32
