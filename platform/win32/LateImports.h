// LateImports: the functions of comctl32.dll and shell32.dll the adapters call, under their
// own names. Neither DLL is imported: the loader resolves a program's imports, and the imports
// of those DLLs (shcore.dll under Wine), before the program can restrict the DLL search, so a
// file of such a name beside the program would be loaded. They are loaded on first use, once
// the search is restricted, from System32 (comctl32 through the manifest's side-by-side
// version 6), and kept to the end of the process. A function that cannot be found fails as the
// system's would.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace zolv::win32::comctl32 {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes);
HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow);
int ImageList_AddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF mask);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
BOOL ImageList_Destroy(HIMAGELIST list);

}  // namespace zolv::win32::comctl32

namespace zolv::win32::shell32 {

HRESULT SHGetFolderPathW(HWND owner, int csidl, HANDLE token, DWORD flags, LPWSTR path);
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT showCommand);

}  // namespace zolv::win32::shell32
