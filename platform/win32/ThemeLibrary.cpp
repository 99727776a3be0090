#include "platform/win32/ThemeLibrary.h"

#include "platform/win32/SystemLibrary.h"

namespace zolv::win32::uxtheme {

namespace {

struct Functions {
  SystemLibrary library{L"uxtheme.dll"};
  decltype(::OpenThemeData)* open = library.Find<decltype(::OpenThemeData)>("OpenThemeData");
  decltype(::CloseThemeData)* close = library.Find<decltype(::CloseThemeData)>("CloseThemeData");
  decltype(::IsThemeBackgroundPartiallyTransparent)* isPartiallyTransparent =
      library.Find<decltype(::IsThemeBackgroundPartiallyTransparent)>(
          "IsThemeBackgroundPartiallyTransparent");
  decltype(::DrawThemeParentBackground)* drawParentBackground =
      library.Find<decltype(::DrawThemeParentBackground)>("DrawThemeParentBackground");
  decltype(::DrawThemeBackground)* drawBackground =
      library.Find<decltype(::DrawThemeBackground)>("DrawThemeBackground");
  decltype(::GetThemeBackgroundContentRect)* getContentRect =
      library.Find<decltype(::GetThemeBackgroundContentRect)>("GetThemeBackgroundContentRect");
  decltype(::GetThemeColor)* getColor = library.Find<decltype(::GetThemeColor)>("GetThemeColor");
};

// Loaded once, on the first call, and kept to the end of the process.
const Functions& Uxtheme() {
  static const Functions functions;
  return functions;
}

}  // namespace

HTHEME OpenThemeData(HWND window, LPCWSTR classList) {
  auto open = Uxtheme().open;
  return open ? open(window, classList) : nullptr;
}

HRESULT CloseThemeData(HTHEME theme) {
  auto close = Uxtheme().close;
  return close ? close(theme) : E_NOTIMPL;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) {
  auto isPartiallyTransparent = Uxtheme().isPartiallyTransparent;
  return isPartiallyTransparent ? isPartiallyTransparent(theme, part, state) : FALSE;
}

HRESULT DrawThemeParentBackground(HWND window, HDC dc, RECT* area) {
  auto drawParentBackground = Uxtheme().drawParentBackground;
  return drawParentBackground ? drawParentBackground(window, dc, area) : E_NOTIMPL;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* area,
                            const RECT* clip) {
  auto drawBackground = Uxtheme().drawBackground;
  return drawBackground ? drawBackground(theme, dc, part, state, area, clip) : E_NOTIMPL;
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                      RECT* content) {
  auto getContentRect = Uxtheme().getContentRect;
  return getContentRect ? getContentRect(theme, dc, part, state, bounds, content) : E_NOTIMPL;
}

HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* colour) {
  auto getColor = Uxtheme().getColor;
  return getColor ? getColor(theme, part, state, property, colour) : E_NOTIMPL;
}

}  // namespace zolv::win32::uxtheme
