// DesignScale: how the window framework fits the designed window to the screen. The main
// font's height follows the screen's resolution; then, when "0" in that font is not as high as
// designed, every position, size and control font scales by measured / designed height.
#pragma once

#include "platform/Toolkit.h"

namespace zolv {

// number * numerator / denominator, rounded half away from zero (as Win32's MulDiv).
int MulDiv(int number, int numerator, int denominator);

struct DesignScale {
  int mainFontHeight;  // the main font's character height at the screen's resolution
  int measured;        // the height of "0" in that font

  int operator()(int value) const;
  toolkit::Rect operator()(const toolkit::Rect& rect) const;
};

DesignScale MeasureDesignScale(const toolkit::Application& app);

}  // namespace zolv
