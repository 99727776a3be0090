// PushButton: the toolkit's push button on Win32. A standard themed "Button" whose face is
// drawn through NM_CUSTOMDRAW: the theme's (or the classic) push button background, then the
// picture and the caption centred together as one group, then the focus rectangle.
#include <vssym32.h>

#include "platform/win32/toolkit/Accessibility.h"
#include "platform/win32/toolkit/ButtonImages.h"
#include "platform/win32/toolkit/ToolkitWin32.h"

namespace zolv::toolkit {

namespace {

constexpr int kPictureSpacing = 4;  // between the picture and the caption

struct ButtonLook {
  bool disabled = false;
  bool pressed = false;
  bool hot = false;
  bool focused = false;

  // The focused button carries the default button's look: Enter presses it.
  int ThemeState() const {
    return disabled  ? PBS_DISABLED
           : pressed ? PBS_PRESSED
           : hot     ? PBS_HOT
           : focused ? PBS_DEFAULTED
                     : PBS_NORMAL;
  }
};

ButtonLook LookOf(HWND button) {
  auto state = static_cast<UINT>(::SendMessageW(button, BM_GETSTATE, 0, 0));
  return {!::IsWindowEnabled(button), (state & BST_PUSHED) != 0, (state & BST_HOT) != 0,
          ::GetFocus() == button};
}

// The classic face: a push frame, with the default button's black outline while focused.
// Returns where the content goes.
RECT DrawClassicFrame(HDC dc, const RECT& bounds, const ButtonLook& look) {
  RECT frame = bounds;
  if (look.focused) {
    ::FrameRect(dc, &frame, ::GetSysColorBrush(COLOR_WINDOWFRAME));
    ::InflateRect(&frame, -1, -1);
  }
  if (look.pressed && look.focused) {
    ::FrameRect(dc, &frame, ::GetSysColorBrush(COLOR_BTNSHADOW));
    ::InflateRect(&frame, -1, -1);
    ::FillRect(dc, &frame, ::GetSysColorBrush(COLOR_BTNFACE));
  } else {
    ::DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (look.pressed ? DFCS_PUSHED : 0u));
  }
  RECT content = bounds;
  ::InflateRect(&content, -4, -4);
  if (look.pressed)
    ::OffsetRect(&content, 1, 1);
  return content;
}

// The caption in the button's own font: DrawThemeText would switch to a font the theme names.
void DrawCaption(HDC dc, HTHEME theme, const ButtonLook& look, const String& caption, RECT area,
                 UINT format) {
  const wchar_t* text = Wide(caption);
  int length = static_cast<int>(caption.size());
  ::SetBkMode(dc, TRANSPARENT);
  if (theme) {
    COLORREF colour = 0;
    if (FAILED(win32::uxtheme::GetThemeColor(theme, BP_PUSHBUTTON, look.ThemeState(), TMT_TEXTCOLOR,
                                             &colour)))
      colour = ::GetSysColor(look.disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    ::SetTextColor(dc, colour);
  } else if (look.disabled) {
    // The classic engraved text of a disabled control.
    RECT shifted = area;
    ::OffsetRect(&shifted, 1, 1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    ::DrawTextW(dc, text, length, &shifted, format);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
  } else {
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  }
  ::DrawTextW(dc, text, length, &area, format);
}

struct ButtonImpl : Control::Impl {
  ButtonImpl(Application& application, Control::Impl& container, Button& owner)
      : Control::Impl(application, &container), self(owner) {}

  void Make() override { MakeChild(WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0); }

  // Accessibility clients' questions get the button's description too; all else is the class's.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  void Command(WORD code) override {
    // A click still queued when the button was disabled does not count.
    if (code == BN_CLICKED && enabled)
      app.Dispatch(self.OnClick);
  }

  LRESULT Notify(NMHDR& header) override {
    if (header.code != NM_CUSTOMDRAW)
      return 0;
    auto& draw = reinterpret_cast<NMCUSTOMDRAW&>(header);
    if (draw.dwDrawStage != CDDS_PREPAINT)
      return CDRF_DODEFAULT;
    Paint(draw.hdc, draw.rc);
    return CDRF_SKIPDEFAULT;
  }

  void Paint(HDC dc, RECT face) {
    HWND button = Window();
    ButtonLook look = LookOf(button);
    UniqueTheme theme(win32::uxtheme::OpenThemeData(button, L"Button"));
    RECT content{};
    if (theme) {
      int state = look.ThemeState();
      if (win32::uxtheme::IsThemeBackgroundPartiallyTransparent(theme.get(), BP_PUSHBUTTON, state))
        win32::uxtheme::DrawThemeParentBackground(button, dc, &face);
      win32::uxtheme::DrawThemeBackground(theme.get(), dc, BP_PUSHBUTTON, state, &face, nullptr);
      win32::uxtheme::GetThemeBackgroundContentRect(theme.get(), dc, BP_PUSHBUTTON, state, &face,
                                                    &content);
    } else {
      content = DrawClassicFrame(dc, face, look);
    }

    auto uiState = static_cast<UINT>(::SendMessageW(button, WM_QUERYUISTATE, 0, 0));
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOCLIP |
                  ((uiState & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0u);
    DrawPictureAndCaption(dc, content, look, theme.get(), format);

    if (look.focused && !(uiState & UISF_HIDEFOCUS)) {
      RECT focus = content;
      if (theme)
        ::InflateRect(&focus, -1, -1);
      ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      ::DrawFocusRect(dc, &focus);
    }
  }

  // Picture and caption are one group, centred in the content area, in the button's font.
  void DrawPictureAndCaption(HDC dc, const RECT& content, const ButtonLook& look, HTHEME theme,
                             UINT format) {
    const win32::SelectedObject selected(dc, fontHandle.get());
    String caption = self.Caption();
    RECT measured{};
    ::DrawTextW(dc, Wide(caption), static_cast<int>(caption.size()), &measured,
                format | DT_CALCRECT);
    const ButtonImages& image = Picture();

    int pictureWidth = image ? image.size.cx + kPictureSpacing : 0;
    int groupWidth = pictureWidth + (measured.right - measured.left);
    int left = content.left + (content.right - content.left - groupWidth) / 2;
    if (image) {
      int top = content.top + (content.bottom - content.top - image.size.cy) / 2;
      win32::comctl32::ImageList_Draw(
          image.images.get(), look.disabled ? ButtonImages::kDisabled : ButtonImages::kNormal, dc,
          left, top, ILD_TRANSPARENT);
    }
    RECT textArea{left + pictureWidth, content.top, content.right, content.bottom};
    DrawCaption(dc, theme, look, caption, textArea, format);
  }

  // Decoded on the first paint: the button of a browser that is not installed never shows,
  // and never pays for its picture.
  const ButtonImages& Picture() {
    if (pictureId) {
      picture = LoadButtonImages(pictureId);
      pictureId = 0;
    }
    return picture;
  }

  Button& self;
  int pictureId = 0;  // the bitmap resource, until it is decoded
  ButtonImages picture;
  String description;
};

String DescriptionOf(HWND button) {
  auto* impl = static_cast<ButtonImpl*>(ImplOfWindow(button));
  return impl ? impl->description : String();
}

LRESULT ButtonImpl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETOBJECT) {
    if (LRESULT answer =
            win32::accessibility::AnswerGetObject(Window(), wParam, lParam, DescriptionOf))
      return answer;
  }
  return Default(message, wParam, lParam);
}

std::unique_ptr<Control::Impl> NewButton(Button& self, Control& parent, const Rect& bounds,
                                         const String& caption, const Font& font, int picture) {
  auto impl = std::make_unique<ButtonImpl>(ImplOf(parent).app, ImplOf(parent), self);
  impl->bounds = bounds;
  impl->text = caption;
  impl->font = font;
  impl->pictureId = picture;
  return impl;
}

}  // namespace

Button::Button(Control& parent, const Rect& bounds, const String& caption, const Font& font,
               int picture)
    : Control(NewButton(*this, parent, bounds, caption, font, picture)) {}

bool Button::Focused() const {
  HWND window = impl_->Window();
  return window && ::GetFocus() == window;
}

void Button::SetFocus() {
  impl_->MakeWindows();
  ::SetFocus(impl_->Window());
}

void Button::SetDescription(const String& description) {
  auto& impl = static_cast<ButtonImpl&>(*impl_);
  if (impl.description == description)
    return;
  impl.description = description;
  // Before the window is made, no client can have asked for it.
  if (HWND window = impl.Window())
    win32::accessibility::DescriptionChanged(window, description);
}

void Button::AnnounceCaption() {
  if (HWND window = impl_->Window())
    win32::accessibility::AnnounceCaption(window);
}

}  // namespace zolv::toolkit
