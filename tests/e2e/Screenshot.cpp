#include "Screenshot.h"

#include <stdexcept>
#include <vector>

#include "Machine.h"
#include "Wait.h"
#include "WindowQueries.h"
#include "platform/win32/system/UniqueHandle.h"
#include "tests/support/Png.h"

namespace zolv::e2e {

namespace {

inline void DeleteMemoryDc(HDC dc) {
  DeleteDC(dc);
}
using UniqueMemoryDc = win32::UniqueHandle<HDC, DeleteMemoryDc>;

// The screen's pixels inside `box`, 3 bytes (RGB) each, rows from the top.
std::vector<std::uint8_t> CaptureScreen(const Box& box) {
  const win32::UniqueScreenDc screen(GetDC(nullptr));
  const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = box.width;
  format.bmiHeader.biHeight = -box.height;  // top-down rows
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const win32::UniqueBitmap bitmap(
      CreateDIBSection(memory.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap)
    throw std::runtime_error("cannot make a picture to capture the screen into");
  const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
  const BOOL copied = BitBlt(memory.get(), 0, 0, box.width, box.height, screen.get(), box.left,
                             box.top, SRCCOPY | CAPTUREBLT);
  SelectObject(memory.get(), previous);
  if (!copied)
    throw std::runtime_error("cannot copy the screen");

  const auto* bgrx = static_cast<const std::uint8_t*>(bits);
  const std::size_t pixels = static_cast<std::size_t>(box.width) * box.height;
  std::vector<std::uint8_t> rgb(pixels * 3);
  for (std::size_t i = 0; i < pixels; ++i) {
    rgb[i * 3] = bgrx[i * 4 + 2];
    rgb[i * 3 + 1] = bgrx[i * 4 + 1];
    rgb[i * 3 + 2] = bgrx[i * 4];
  }
  return rgb;
}

}  // namespace

std::wstring SaveScreenshot(HWND window, const std::wstring& name) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const Box box = OuterBox(window);
  // The window reaches the screen a little after it paints; two equal captures in a row
  // mean it has arrived.
  std::vector<std::uint8_t> picture;
  const bool steady = WaitUntil(
      [&] {
        std::vector<std::uint8_t> now = CaptureScreen(box);
        const bool same = now == picture;
        picture = std::move(now);
        return same;
      },
      5s, 150ms);
  if (!steady)
    throw std::runtime_error("the window did not settle on the screen");

  CreateDirectoryW(ScreenshotFolder().c_str(), nullptr);
  const std::wstring path = ScreenshotFolder() + name + L".png";
  WriteBytes(path, tests::EncodePng(box.width, box.height, picture));
  return path;
}

}  // namespace zolv::e2e
