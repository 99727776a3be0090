// Timer: a window-message timer on the owner form (SetTimer with the Timer's address as its
// id); the form hands each WM_TIMER to the live, enabled Timer it names.
#include <algorithm>

#include "platform/win32/toolkit/ToolkitWin32.h"

namespace zolv::toolkit {

namespace {

FormImpl& FormImplOf(Form& form) {
  return static_cast<FormImpl&>(ImplOf(form));
}

UINT_PTR TimerId(const Timer* timer) {
  return reinterpret_cast<UINT_PTR>(timer);
}

}  // namespace

Timer::Timer(Form& owner, unsigned intervalMs) : owner_(owner), interval_(intervalMs) {
  FormImplOf(owner_).timers.push_back(this);
}

Timer::~Timer() {
  FormImpl& form = FormImplOf(owner_);
  if (enabled_)
    ::KillTimer(form.Window(), TimerId(this));
  std::erase(form.timers, this);
}

void Timer::SetEnabled(bool enabled) {
  // Enabling a running timer leaves its interval running.
  if (enabled == enabled_)
    return;
  FormImplOf(owner_).MakeWindows();
  HWND form = FormImplOf(owner_).Window();
  if (enabled) {
    if (!::SetTimer(form, TimerId(this), interval_, nullptr))
      ThrowLastError("SetTimer");
  } else {
    ::KillTimer(form, TimerId(this));
  }
  enabled_ = enabled;
}

}  // namespace zolv::toolkit
