// ToolkitAccess: how each platform's toolkit files reach the state behind the toolkit's objects,
// which that platform defines. Included by those files only.
#pragma once

#include "platform/Toolkit.h"

namespace zolv::toolkit {

struct ImplAccess {
  static Application::Impl& Of(const Application& app) { return *app.impl_; }
  static Control::Impl& Of(const Control& control) { return *control.impl_; }
};

inline Application::Impl& ImplOf(const Application& app) {
  return ImplAccess::Of(app);
}
inline Control::Impl& ImplOf(const Control& control) {
  return ImplAccess::Of(control);
}

}  // namespace zolv::toolkit
