#include "WindowQueries.h"

#include <array>
#include <stdexcept>

namespace zolv::e2e {

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

Box ToBox(const RECT& rect) {
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Box& box) {
  return out << "{left " << box.left << ", top " << box.top << ", width " << box.width
             << ", height " << box.height << "}";
}

std::wstring WindowText(HWND window) {
  std::array<wchar_t, 1024> text{};
  return std::wstring(text.data(), static_cast<std::size_t>(GetWindowTextW(
                                       window, text.data(), static_cast<int>(text.size()))));
}

std::wstring ClassName(HWND window) {
  std::array<wchar_t, 256> name{};
  return std::wstring(name.data(), static_cast<std::size_t>(GetClassNameW(
                                       window, name.data(), static_cast<int>(name.size()))));
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND DescendantWithText(HWND parent, const std::wstring& text) {
  for (HWND child : Descendants(parent)) {
    if (WindowText(child) == text)
      return child;
  }
  throw std::runtime_error("no control with the caption wanted");
}

Box OuterBox(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return ToBox(rect);
}

Box BoxIn(HWND window, HWND reference) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&rect), 2);
  return ToBox(rect);
}

Box ClientBox(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return ToBox(rect);
}

void Click(HWND button, DWORD timeoutMs) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &result))
    throw std::runtime_error("the button did not take the click in time");
}

}  // namespace zolv::e2e
