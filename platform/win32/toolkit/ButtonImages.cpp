// ButtonImages: loads a bitmap resource and prepares its normal and disabled looks, both
// masked by the colour of the bottom-left pixel.
#include "platform/win32/toolkit/ButtonImages.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace zolv::toolkit {

namespace {

// Pixels are 32-bit 0x00RRGGBB words, top-down, as GetDIBits gives them.
using Pixels = std::vector<std::uint32_t>;

constexpr std::uint32_t kRgbMask = 0xFFFFFF;

COLORREF ToColorRef(std::uint32_t pixel) {
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// The disabled look: every visible pixel turned to a light grey of its own brightness.
Pixels Greyed(const Pixels& pixels, std::uint32_t transparent) {
  Pixels greyed(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) {
    std::uint32_t pixel = pixels[i] & kRgbMask;
    if (pixel == transparent) {
      greyed[i] = pixel;
      continue;
    }
    std::uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    std::uint32_t level = 128 + (r * 30 + g * 59 + b * 11) / 200;
    std::uint32_t grey = (level << 16) | (level << 8) | level;
    // A grey that happens to equal the transparent colour must stay visible.
    greyed[i] = grey == transparent ? grey ^ 0x010101 : grey;
  }
  return greyed;
}

BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

ButtonImages LoadButtonImages(int resourceId) {
  ButtonImages picture;
  win32::UniqueBitmap source(
      static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!source)
    return picture;
  BITMAP bitmap{};
  ::GetObjectW(source.get(), sizeof(bitmap), &bitmap);
  int width = bitmap.bmWidth;
  int height = std::abs(bitmap.bmHeight);
  if (width <= 0 || height <= 0)
    return picture;

  win32::UniqueScreenDc screen(::GetDC(nullptr));
  BITMAPINFO info = TopDownInfo(width, height);
  Pixels pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  if (::GetDIBits(screen.get(), source.get(), 0, static_cast<UINT>(height), pixels.data(), &info,
                  DIB_RGB_COLORS) != height)
    return picture;
  std::uint32_t transparent = pixels[static_cast<size_t>(height - 1) * width] & kRgbMask;

  UniqueImageList images(
      win32::comctl32::ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 2, 0));
  if (!images)
    return picture;
  for (const Pixels& look : {pixels, Greyed(pixels, transparent)}) {
    info = TopDownInfo(width, height);
    win32::UniqueBitmap image(::CreateDIBitmap(screen.get(), &info.bmiHeader, CBM_INIT, look.data(),
                                               &info, DIB_RGB_COLORS));
    if (!image || win32::comctl32::ImageList_AddMasked(images.get(), image.get(),
                                                       ToColorRef(transparent)) < 0)
      return picture;
  }
  picture.images = std::move(images);
  picture.size = {width, height};
  return picture;
}

}  // namespace zolv::toolkit
