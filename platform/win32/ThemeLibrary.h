// ThemeLibrary: the visual-styles functions the toolkit draws its buttons with, under their own
// names. uxtheme.dll is not a KnownDLL, so it is not imported but loaded from System32 on first
// use (SystemLibrary). Without it, OpenThemeData gives no theme, the others fail, and the
// classic look is drawn.
#pragma once

#include <windows.h>

#include <uxtheme.h>

namespace zolv::win32::uxtheme {

HTHEME OpenThemeData(HWND window, LPCWSTR classList);
HRESULT CloseThemeData(HTHEME theme);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
HRESULT DrawThemeParentBackground(HWND window, HDC dc, RECT* area);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* area,
                            const RECT* clip);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                      RECT* content);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* colour);

}  // namespace zolv::win32::uxtheme
