// Design: the main window as designed, at 96 dots per inch with a text height of 16 pixels for
// "0" in the main font. The window scales these values at creation (see DesignScale).
#pragma once

#include <array>

#include "assets/ResourceIds.h"
#include "platform/Toolkit.h"

namespace zolv::design {

inline constexpr int kPixelsPerInch = 96;
inline constexpr int kTextHeight = 16;

inline constexpr char16_t kFormCaption[] = u"ZOLV Online";
inline constexpr int kClientWidth = 303;
inline constexpr int kClientHeight = 272;
inline constexpr char16_t kMainFontName[] = u"Tahoma";
inline constexpr int kMainFontHeight = 13;

inline constexpr int kPanel2Height = 58;

// The first browser button; the others 40 pixels apart below it.
inline constexpr toolkit::Rect kBrowserButton{.left = 17, .top = 15, .width = 266, .height = 34};
inline constexpr int kBrowserButtonSpacing = 40;
inline constexpr char16_t kBrowserFontName[] = u"Tahoma";
inline constexpr int kBrowserFontHeight = 15;

inline constexpr toolkit::Rect kAccessButton{.left = 17, .top = 8, .width = 266, .height = 41};
inline constexpr char16_t kAccessCaption[] = u"Acceder ZOLV Online";
inline constexpr char16_t kOpeningCaption[] = u"Ingresando al Navegador. Espere...";
// What a screen reader says of the chosen browser's button, shown in bold.
inline constexpr char16_t kChosenDescription[] = u"Navegador elegido";
inline constexpr char16_t kAccessFontName[] = u"Arial";
inline constexpr int kAccessFontHeight = 15;

inline constexpr unsigned kCloseIntervalMs = 6000;

// Where mostrarBrowsers stacks the buttons it shows, and the margin of the fitted height.
inline constexpr int kStackTop = 10;
inline constexpr int kStackOffset = 40;
inline constexpr int kStackBottomMargin = 10;

// The browsers the launcher knows, in the order each registry entry is tested against them.
struct Browser {
  const char16_t* keyword;  // searched in the lower-case display name
  const char16_t* caption;
  const char16_t* executable;
  int picture;
};

inline constexpr std::array<Browser, 5> kBrowsers{{
    {u"explore", u"Usar Internet Explorer", u"iexplore.exe", ZOLV_PICTURE_IE},
    {u"chrome", u"Usar Google Chrome", u"chrome.exe", ZOLV_PICTURE_CHROME},
    {u"firefox", u"Usar Mozilla Firefox", u"firefox.exe", ZOLV_PICTURE_FIREFOX},
    {u"safari", u"Usar Safari", u"safari.exe", ZOLV_PICTURE_SAFARI},
    {u"opera", u"Usar Opera", u"opera.exe", ZOLV_PICTURE_OPERA},
}};

}  // namespace zolv::design
