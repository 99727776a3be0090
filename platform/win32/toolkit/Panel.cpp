// Panel: a captionless child window with a raised bevel one pixel wide. It is a control parent,
// so the form's Tab navigation walks through its buttons, and it passes its buttons' commands
// and notifications on to them.
#include "platform/win32/toolkit/ToolkitWin32.h"

namespace zolv::toolkit {

namespace {

void DrawBevel(HWND panel, HDC dc) {
  RECT client{};
  ::GetClientRect(panel, &client);
  ::DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
}

struct PanelImpl : ContainerImpl {
  using ContainerImpl::ContainerImpl;

  void Make() override {
    MakeChild(MAKEINTATOM(ImplOf(app).panelClass), WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
  }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_PAINT: {
        const win32::PaintScope paint(Window());
        DrawBevel(Window(), paint.Dc());
        return 0;
      }
      case WM_PRINTCLIENT:
        // Also asked for by the themed buttons drawing what lies behind them.
        DrawBevel(Window(), reinterpret_cast<HDC>(wParam));
        return 0;
      default:
        return ContainerImpl::WindowProc(message, wParam, lParam);
    }
  }
};

std::unique_ptr<Control::Impl> NewPanel(Control& parent, const Rect& bounds) {
  auto impl = std::make_unique<PanelImpl>(ImplOf(parent).app, &ImplOf(parent));
  impl->bounds = bounds;
  impl->font = parent.GetFont();
  return impl;
}

}  // namespace

Panel::Panel(Control& parent, const Rect& bounds) : Control(NewPanel(parent, bounds)) {}

}  // namespace zolv::toolkit
