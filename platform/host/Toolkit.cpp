// The headless window toolkit: every control is plain state, events come from the tests
// (platform/host/Headless.h) and run through Application::Dispatch as on Win32.
#include <cmath>
#include <deque>
#include <utility>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/ToolkitAccess.h"
#include "platform/host/Headless.h"

namespace zolv::toolkit {

struct Application::Impl {
  int pixelsPerInch = 96;
  // Tahoma's cell height is 2472/2048 of its character height.
  std::function<int(const Font&, StringView)> measure = [](const Font& font, StringView) {
    return static_cast<int>(std::lround(std::abs(font.height) * 2472.0 / 2048.0));
  };
  Rect desktop{0, 0, 1920, 1080};
  std::vector<headless::ErrorBox> errorBoxes;
  std::deque<Handler> queue;
  bool terminated = false;
  Control* focused = nullptr;
};

struct Control::Impl {
  Impl(Application& application, Control* parentControl)
      : app(application), parent(parentControl) {}

  Application& app;
  Control* parent = nullptr;
  std::vector<Control*> children;
  Rect bounds;
  bool visible = true;
  bool enabled = true;
  String caption;
  Font font;
  int picture = 0;
  bool tabStop = false;
  String description;
  int announcements = 0;
  // A form's position on the desktop; children are placed by their bounds.
  int left = 0;
  int top = 0;
};

// The host draws no title bar: the icon is not kept.
Application::Application(int) : impl_(std::make_unique<Impl>()) {}
Application::~Application() = default;

void Application::ShowErrorBox(const String& text) {
  impl_->errorBoxes.push_back({title_, text});
}

int Application::PixelsPerInch() const {
  return impl_->pixelsPerInch;
}

int Application::TextHeight(const Font& font, StringView text) const {
  return impl_->measure(font, text);
}

Rect Application::VirtualDesktop() const {
  return impl_->desktop;
}

void Application::Run() {
  while (!impl_->terminated && !impl_->queue.empty())
    ProcessMessages();
}

void Application::ProcessMessages() {
  while (!impl_->queue.empty()) {
    Handler next = std::move(impl_->queue.front());
    impl_->queue.pop_front();
    Dispatch(next);
  }
}

void Application::Terminate() {
  impl_->terminated = true;
}
bool Application::Terminated() const {
  return impl_->terminated;
}

Control::Control(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {
  if (impl_->parent)
    impl_->parent->impl_->children.push_back(this);
}

Control::~Control() {
  if (ImplOf(impl_->app).focused == this)
    ImplOf(impl_->app).focused = nullptr;
}

Rect Control::Bounds() const {
  return impl_->bounds;
}
void Control::SetBounds(const Rect& bounds) {
  impl_->bounds = bounds;
}
void Control::SetTop(int top) {
  impl_->bounds.top = top;
}
bool Control::Visible() const {
  return impl_->visible;
}
void Control::SetVisible(bool visible) {
  impl_->visible = visible;
}
bool Control::Enabled() const {
  return impl_->enabled;
}
void Control::SetEnabled(bool enabled) {
  impl_->enabled = enabled;
}
String Control::Caption() const {
  return impl_->caption;
}
void Control::SetCaption(const String& caption) {
  impl_->caption = caption;
}
Font Control::GetFont() const {
  return impl_->font;
}
void Control::SetFont(const Font& font) {
  impl_->font = font;
}
NativeWindow Control::Native() const {
  return reinterpret_cast<NativeWindow>(this);
}

namespace {

std::unique_ptr<Control::Impl> MakeImpl(Application& app, Control* parent, const Rect& bounds,
                                        const String& caption, const Font& font) {
  auto impl = std::make_unique<Control::Impl>(app, parent);
  impl->bounds = bounds;
  impl->caption = caption;
  impl->font = font;
  return impl;
}

// Visible and enabled, up to the form: what a click or the focus can reach.
bool Reachable(Control& control) {
  for (Control* c = &control; c; c = ImplOf(*c).parent) {
    if (!c->Visible())
      return false;
  }
  return control.Enabled();
}

void CollectTabStops(Control& control, std::vector<Button*>& out) {
  for (Control* child : ImplOf(control).children) {
    if (ImplOf(*child).tabStop && Reachable(*child))
      out.push_back(static_cast<Button*>(child));
    CollectTabStops(*child, out);
  }
}

}  // namespace

Form::Form(Application& app, const String& caption, int clientWidth, int clientHeight,
           const Font& font)
    : Control(MakeImpl(app, nullptr, {0, 0, clientWidth, clientHeight}, caption, font)), app_(app) {
  impl_->visible = false;
}

Rect Form::OuterBounds() const {
  return {impl_->left, impl_->top, impl_->bounds.width + 2 * headless::kFrameWidth,
          impl_->bounds.height + 2 * headless::kFrameWidth + headless::kCaptionHeight};
}

void Form::SetOuterHeight(int height) {
  impl_->bounds.height = height - 2 * headless::kFrameWidth - headless::kCaptionHeight;
}

void Form::MoveTo(int left, int top) {
  impl_->left = left;
  impl_->top = top;
}

void Form::Show() {
  impl_->visible = true;
  std::vector<Button*> order = headless::TabOrder(*this);
  if (!order.empty())
    order.front()->SetFocus();
}

Panel::Panel(Control& parent, const Rect& bounds)
    : Control(MakeImpl(ImplOf(parent).app, &parent, bounds, {}, parent.GetFont())) {}

Button::Button(Control& parent, const Rect& bounds, const String& caption, const Font& font,
               int picture)
    : Control(MakeImpl(ImplOf(parent).app, &parent, bounds, caption, font)) {
  impl_->picture = picture;
  impl_->tabStop = true;
}

bool Button::Focused() const {
  return ImplOf(impl_->app).focused == this;
}
void Button::SetFocus() {
  ImplOf(impl_->app).focused = this;
}
void Button::SetDescription(const String& description) {
  impl_->description = description;
}
void Button::AnnounceCaption() {
  ++impl_->announcements;
}

Timer::Timer(Form& owner, unsigned intervalMs) : owner_(owner), interval_(intervalMs) {}
Timer::~Timer() = default;
void Timer::SetEnabled(bool enabled) {
  enabled_ = enabled;
}

namespace headless {

void Click(Button& button) {
  if (Reachable(button))
    ImplOf(button).app.Dispatch(button.OnClick);
}

void PostClick(Button& button) {
  ImplOf(ImplOf(button).app).queue.push_back([&button] { Click(button); });
}

void PostClose(Form& form) {
  ImplOf(form.App()).queue.push_back([&form] { form.App().Terminate(); });
}

void Tick(Timer& timer) {
  if (timer.Enabled())
    timer.Owner().App().Dispatch(timer.OnTimer);
}

void SetPixelsPerInch(Application& app, int pixelsPerInch) {
  ImplOf(app).pixelsPerInch = pixelsPerInch;
}

void SetTextHeight(Application& app, std::function<int(const Font&, StringView)> measure) {
  ImplOf(app).measure = std::move(measure);
}

void SetVirtualDesktop(Application& app, const Rect& desktop) {
  ImplOf(app).desktop = desktop;
}

const std::vector<ErrorBox>& ErrorBoxes(const Application& app) {
  return ImplOf(app).errorBoxes;
}

int Picture(const Button& button) {
  return ImplOf(button).picture;
}

const String& Description(const Button& button) {
  return ImplOf(button).description;
}

int Announcements(const Button& button) {
  return ImplOf(button).announcements;
}

std::vector<Button*> TabOrder(Form& form) {
  std::vector<Button*> order;
  CollectTabStops(form, order);
  return order;
}

}  // namespace headless
}  // namespace zolv::toolkit
