#include "DesignScale.h"

#include <cstdlib>

#include "assets/Design.h"

namespace zolv {

int MulDiv(int number, int numerator, int denominator) {
  const long long product = static_cast<long long>(number) * numerator;
  long long quotient = product / denominator;
  const long long remainder = product % denominator;
  if (2 * std::llabs(remainder) >= std::llabs(denominator)) {
    quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
  }
  return static_cast<int>(quotient);
}

int DesignScale::operator()(int value) const {
  return MulDiv(value, measured, design::kTextHeight);
}

toolkit::Rect DesignScale::operator()(const toolkit::Rect& rect) const {
  return {(*this)(rect.left), (*this)(rect.top), (*this)(rect.width), (*this)(rect.height)};
}

DesignScale MeasureDesignScale(const toolkit::Application& app) {
  const int fontHeight =
      MulDiv(design::kMainFontHeight, app.PixelsPerInch(), design::kPixelsPerInch);
  const int measured = app.TextHeight({design::kMainFontName, fontHeight}, u"0");
  return {fontHeight, measured > 0 ? measured : design::kTextHeight};
}

}  // namespace zolv
