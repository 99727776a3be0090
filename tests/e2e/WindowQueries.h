// WindowQueries: what a test reads from windows of another process — texts, classes, places
// relative to a parent's client area, styles — and how it presses a button.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace zolv::e2e {

// A rectangle as left, top, width and height, printed readably by GoogleTest.
struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Box& box);

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

// Every window below `parent`, at any depth.
std::vector<HWND> Descendants(HWND parent);
// The descendant whose text is `text`; throws when there is none.
HWND DescendantWithText(HWND parent, const std::wstring& text);

// The window's outer rectangle, in screen coordinates.
Box OuterBox(HWND window);
// The window's outer rectangle relative to the client area of `reference`.
Box BoxIn(HWND window, HWND reference);
// The client area's size (left and top are 0).
Box ClientBox(HWND window);

// Presses a button as a click does, and returns once its handler has run.
void Click(HWND button, DWORD timeoutMs = 5000);

}  // namespace zolv::e2e
