// Headless: how the host tests drive the headless window toolkit. Controls are plain state;
// these calls stand in for the user and the screen.
#pragma once

#include <functional>
#include <vector>

#include "platform/Toolkit.h"

namespace zolv::toolkit::headless {

// The headless form's frame: borders and title bar around the client area.
inline constexpr int kFrameWidth = 3;
inline constexpr int kCaptionHeight = 22;

// A user click: runs OnClick when the button and its parents are visible and it is enabled.
void Click(Button& button);

// A click or close request that waits until ProcessMessages or Run delivers it.
void PostClick(Button& button);
void PostClose(Form& form);

// The timer's tick, delivered only while it is enabled.
void Tick(Timer& timer);

void SetPixelsPerInch(Application& app, int pixelsPerInch);
void SetTextHeight(Application& app, std::function<int(const Font&, StringView)> measure);
void SetVirtualDesktop(Application& app, const Rect& desktop);

struct ErrorBox {
  String title;
  String text;
};
const std::vector<ErrorBox>& ErrorBoxes(const Application& app);

int Picture(const Button& button);
const String& Description(const Button& button);
// How often the button's caption was announced to screen readers.
int Announcements(const Button& button);

// The controls that take the focus with Tab, in order.
std::vector<Button*> TabOrder(Form& form);

}  // namespace zolv::toolkit::headless
